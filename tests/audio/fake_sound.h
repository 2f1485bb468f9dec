// Stand-ins for the sound device and its buffers: every step goes into one log, and the steps a
// test names in `refused` (e.g. "level.priority level.normal buffer1.lock") fail.
#pragma once

#include "platform/sound_device.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace fakesound {

struct Script {
    std::string refused;
    std::vector<std::string> log;

    bool step(const std::string& name) {
        log.push_back(name);
        return refused.find(name) == std::string::npos;
    }
};

inline Script* script = nullptr;

class Buffer final : public platform::FillableSoundBuffer {
public:
    Buffer(std::string name, std::uint32_t bytes = 0) : name(std::move(name)), storage(bytes) {}
    ~Buffer() override { script->log.push_back(name + ".release"); }
    bool stop() override { return script->step(name + ".stop"); }
    bool rewind() override { return script->step(name + ".rewind"); }
    bool play() override { return script->step(name + ".play"); }
    // Hands out `regions` when a test set them, otherwise the whole storage as one region.
    bool lock(std::uint32_t offset, std::uint32_t bytes, platform::LockedRegions& out) override {
        if (!script->step(name + ".lock") || offset != 0 || bytes != storage.size()) return false;
        out = regions.value_or(platform::LockedRegions{storage.data(), bytes, nullptr, 0});
        return true;
    }
    void unlock(const platform::LockedRegions&) override {
        script->log.push_back(name + ".unlock");
    }

    std::string name;
    std::vector<std::uint8_t> storage;
    std::optional<platform::LockedRegions> regions;
};

class Device final : public platform::SoundDevice {
public:
    ~Device() override { script->log.push_back("device.release"); }
    std::string lastError() const override { return "the fake device said no"; }
    bool setCooperativeLevel(platform::CooperativeLevel level) override {
        return script->step(level == platform::CooperativeLevel::Priority ? "level.priority"
                                                                          : "level.normal");
    }
    std::unique_ptr<platform::SoundBuffer> createPrimaryBuffer() override {
        if (!script->step("primary.create")) return nullptr;
        return std::make_unique<Buffer>("primary");
    }
    bool setPrimaryFormat(const platform::WaveFormat&) override {
        return script->step("primary.format");
    }
    std::unique_ptr<platform::FillableSoundBuffer>
    createBuffer(const platform::WaveFormat&, std::uint32_t bytes, int channel) override {
        const std::string name = "buffer" + std::to_string(channel);
        if (!script->step(name + ".create")) return nullptr;
        return std::make_unique<Buffer>(name, bytes);
    }
};

inline std::unique_ptr<platform::SoundDevice> open(std::string& reason) {
    if (script->step("device.open")) return std::make_unique<Device>();
    reason = "no fake device today";
    return nullptr;
}

} // namespace fakesound
