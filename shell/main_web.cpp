// The game's entry point in a web page: the program's objects are made, the window is the
// canvas, and the loop runs one turn per display refresh. When the game ends (the close button,
// ESC or a failed start) the best score is kept and the page offers a new game.
#include "audio/sound_device.h"
#include "persist/score_record.h"
#include "platform/softgpu/softgpu.h"
#include "platform/web/page.h"
#include "platform/web/web_display.h"
#include "platform/web/web_sound.h"
#include "shell/game_loop.h"
#include "shell/world.h"

#include <memory>

namespace {

// Where the best-score file lives while the page runs (in memory; the page's storage keeps it
// between visits).
const std::filesystem::path bestScoreFile = "/hopla/hsd.dat";

// One game, from start to end; destroyed in reverse order, which saves the best score.
struct PageGame {
    PageGame()
        : display(platform::web::openPageDisplay()),
          windowSink([this](const softgpu::FrameView& frame) {
              if (shell.mainWindow)
                  shell.mainWindow->presentFrame(frame.pixels, frame.width, frame.height,
                                                 frame.pitchBytes);
          }),
          world(display->ticks(), display->pointer(), bestScoreFile), shell(world.state) {
        shell.kick = [this] { kick(world.game); };
        shell.updateFrame = [this] { updateFrame(world.game); };
        shell.drawFrame = [this] { drawFrame(world); };
        shell.presentAgain = [this] {
            if (world.renderer.device)
                world.renderer.device->Present(nullptr, nullptr, nullptr, nullptr);
        };
        shell.initDevice = [this](platform::Window&) {
            return initDevice(world, &windowSink, 1) != 0;
        };
        shell.loadScene = [this] { return loadScene(world) != 0; };
    }

    std::unique_ptr<platform::Display> display;
    softgpu::CallbackSink windowSink;
    World world;
    Shell shell;
};

std::unique_ptr<PageGame> game;

// TEMPORARY, until the shell's own turn lands: the start-up steps of winMain without its
// blocking loop, and one turn of that loop (every waiting message, then one frame). False
// when the quit message was retrieved.
bool startWindow(Shell& shell, platform::Display& display) {
    using namespace platform;
    std::string error;
    shell.mainWindow = display.createWindow(
        windowTitle,
        [&shell](Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
            return windowProc(shell, window, message, wParam, lParam);
        },
        error);
    if (!shell.mainWindow) return false;
    Window& window = *shell.mainWindow;
    shell.state.windowed = 1;
    if (!shell.initDevice(window) || !shell.loadScene()) window.sendMessage(WM_CLOSE, 0, 0);
    window.showCursor(false);
    window.showWindow();
    window.updateWindow();
    return true;
}

bool turn(Shell& shell) {
    using namespace platform;
    Window& window = *shell.mainWindow;
    Message message{};
    while (window.peekMessage(message)) {
        if (message.message == WM_QUIT) return false;
        window.dispatchMessage(message);
    }
    if (window.escapeDown()) window.sendMessage(WM_CLOSE, 0, 0);
    shell.updateFrame();
    shell.drawFrame();
    return true;
}

void endGame();

void startGame() {
    platform::web::restoreBestScoreFile(bestScoreFile);
    game = std::make_unique<PageGame>();
    if (!startWindow(game->shell, *game->display)) {
        endGame();
        return;
    }
    platform::web::gameStarted();
    platform::web::runEveryFrame([] { return turn(game->shell); }, endGame);
}

void endGame() {
    game.reset(); // the sound stops, then the best score is saved
    platform::web::storeBestScoreFile(bestScoreFile);
    platform::web::offerNewGame(startGame);
}

} // namespace

int main() {
    platform::web::showMessagesInPage();
    setSoundDeviceOpener(platform::web::openPageSoundDevice);
    // Leaving the page is the page's SIGTERM: the best score is saved as at the game's end.
    platform::web::onPageHide([] {
        if (!game) return;
        saveBestScore(game->world.scores);
        platform::web::storeBestScoreFile(bestScoreFile);
    });
    startGame();
    return 0;
}
