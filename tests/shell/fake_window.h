// A window and desktop made of scripts and logs, so the window procedure and the loop run
// headless: the desktop's messages come from a list, what the window is asked to do is noted.
#pragma once

#include "platform/window.h"

#include <deque>
#include <string>
#include <vector>

class FakeWindow final : public platform::Window {
public:
    FakeWindow(platform::WindowProcedure procedure, std::vector<std::string>& log)
        : Window(std::move(procedure)), log(log) {}

    void setRegion(const platform::FrameRect& visible) override {
        region = visible;
        log.push_back("region");
    }
    bool escapeDown() override {
        if (escapeAfterFrames < 0) return false;
        if (escapeAfterFrames == 0) return true;
        --escapeAfterFrames;
        return false;
    }
    platform::ClientPoint clientPointer() override { return {}; }
    void presentFrame(const std::uint32_t*, int, int, int) override { log.push_back("present"); }

    // Desktop messages, handed out one per peekMessage while the window stands.
    std::deque<platform::Message> desktop;
    // ESC reads as held down once this many more idle turns have passed (negative: never).
    int escapeAfterFrames = -1;
    platform::FrameRect region{0, 0, 640, 480};
    bool cursorVisible = true;
    bool shown = false;
    bool removed = false;

protected:
    bool nextDesktopMessage(platform::Message& message) override {
        if (desktop.empty()) return false;
        message = desktop.front();
        desktop.pop_front();
        return true;
    }
    void applyCursor(bool visible) override { cursorVisible = visible; }
    void showOnDesktop() override {
        shown = true;
        log.push_back("show");
    }
    void removeFromDesktop() override {
        removed = true;
        log.push_back("removed");
    }

private:
    std::vector<std::string>& log;
};

class FakeDisplay final : public platform::Display {
public:
    explicit FakeDisplay(std::vector<std::string>& log) : log(log) {}

    platform::TickSource& ticks() override { return clock; }
    platform::PointerSource& pointer() override { return pointerSource; }
    std::unique_ptr<platform::Window> createWindow(const std::string& windowTitle,
                                                   platform::WindowProcedure procedure,
                                                   std::string& error) override {
        title = windowTitle;
        if (refuse) {
            error = "refused";
            return nullptr;
        }
        auto window = std::make_unique<FakeWindow>(std::move(procedure), log);
        made = window.get();
        window->desktop = std::move(pendingDesktop);
        window->escapeAfterFrames = escapeAfterFrames;
        window->sendMessage(platform::WM_CREATE, 0, 0);
        return window;
    }

    platform::ManualTickSource clock;
    platform::ManualPointerSource pointerSource;
    bool refuse = false;
    std::string title;
    FakeWindow* made = nullptr;
    // Handed to the window when it is made.
    std::deque<platform::Message> pendingDesktop;
    int escapeAfterFrames = -1;

private:
    std::vector<std::string>& log;
};
