#!/usr/bin/python3
"""The game's web page in each browser engine (engines.py): the same checks in Chromium, Firefox
ESR and WebKitGTK, with real mouse and key input, watched through the canvas's own pixels with
the helpers and probes of harness.py and the checks of page_test.py.

Usage: engines_test.py ENGINE SITE GROUP    (ENGINE: chromium, firefox, webkit;
                                             GROUP: play, storage)

Exit status 0 passed, 1 failed, 77 skipped because emscripten or the engine is missing.
"""

import os
import shutil
import sys
import time
import traceback

import engines
import harness
from harness import check
from page_test import (AWAY, BEST_AREA, CLOSE_BUTTON, STORED_BEST_1, fps_toggles,
                       kick_is_heard_and_raises_best, resting_ball_is_kicked)


class EnginePage(harness.Page):
    """The harness's page, its input and navigation through an engine instead of DevTools."""

    def __init__(self, engine, server):
        super().__init__(None, server)
        self.engine = engine
        self.errors = []

    def js(self, script, *args):
        return self.engine.run(script, *args)

    def note_errors(self):
        """Takes the errors the probes and the driver saw in the page shown now."""
        self.errors += self.js("return window.hoplaProbes ? window.hoplaProbes.errors : []")
        self.errors += self.engine.errors()

    def open(self):
        self.engine.open(self.url)
        self.wait_for("the game did not start", lambda: self.turns() > 2)

    def reload(self):
        self.note_errors()
        self.engine.reload()
        self.wait_for("the game did not start again", lambda: self.turns() > 2)

    def mouse(self, kind, point, button="none"):
        x, y = self.to_page(point)
        action = {"mouseMoved": "move", "mousePressed": "down", "mouseReleased": "up"}[kind]
        self.engine.mouse(action, x, y, "left" if button == "none" else button)

    def key(self, kind, key, code):
        self.engine.key({"keyDown": "down", "keyUp": "up"}[kind], key)

    def play_again(self):
        """Clicks the page's "Play again" button with the mouse, as a player would."""
        box = self.js("var b = document.getElementById('again').getBoundingClientRect();"
                      "return [b.left + b.width / 2, b.top + b.height / 2];")
        for action in ("move", "down", "up"):
            self.engine.mouse(action, box[0], box[1])

    def best(self, name):
        self.grab(name)
        return self.helper("area(arguments[0], arguments[1])", name, list(BEST_AREA))


def ended_and_stopped(page, what):
    page.wait_for(f"{what} did not end the game", page.ended_shown)
    turns = page.turns()
    time.sleep(0.3)
    check(page.turns() == turns, f"the loop goes on after {what} ended the game")


def new_game_starts(page):
    turns = page.turns()
    page.play_again()
    page.wait_for("play again did not start a game", lambda: page.turns() > turns + 3)
    check(not page.ended_shown(), "the end is still offered in the new game")


def group_play(page):
    page.open()
    print("the ball falls and comes to rest; the right button toggles the frames per second")
    page.ball_rests()
    fps_toggles(page)
    print("a click on the resting ball scores, is heard and raises the best score")
    page.point(AWAY)
    page.wait_frames(2)
    kick_is_heard_and_raises_best(page)
    print("the close button ends the game; play again starts a new one, where a click scores")
    page.click(CLOSE_BUTTON)
    ended_and_stopped(page, "the close button")
    new_game_starts(page)
    page.point(AWAY)
    resting_ball_is_kicked(page, page.click, "a click in the new game")


def group_storage(page):
    page.open()
    page.js("localStorage.removeItem('hopla-best-score')")
    print("a kick gives best score 1, which survives a reload")
    page.point(AWAY)
    resting_ball_is_kicked(page, page.click, "a click")
    page.point(AWAY)
    page.wait_frames(3)
    best1 = page.best("best1")
    page.reload()  # the page is hidden and left: the best score is stored
    stored = page.js("return localStorage.getItem('hopla-best-score')")
    check(stored == STORED_BEST_1, f"the page stored {stored!r}, not best score 1")
    page.point(AWAY)
    page.wait_for("the reloaded game does not show best score 1",
                  lambda: page.best("best.reloaded") == best1)
    print("ESC ends the game; play again starts a new one with the best score kept")
    page.key("keyDown", "Escape", "Escape")
    ended_and_stopped(page, "ESC")
    page.key("keyUp", "Escape", "Escape")
    new_game_starts(page)
    page.point(AWAY)
    page.wait_frames(3)
    check(page.best("best.again") == best1, "the new game does not show best score 1")


GROUPS = {"play": group_play, "storage": group_storage}


def main():
    if len(sys.argv) != 4 or sys.argv[1] not in engines.NAMES or sys.argv[3] not in GROUPS:
        print(__doc__, file=sys.stderr)
        return 2
    name, site, group = sys.argv[1:]
    if not shutil.which("emcc"):
        print("skipped: emscripten is not installed, so there is no page to test")
        return harness.SKIPPED
    if not os.path.exists(os.path.join(site, "hopla.wasm")):
        print(f"FAILED: no page in {site}; build it with ./web.sh --build-only")
        return 1
    try:
        engine = engines.start(name)
    except engines.Unavailable as missing:
        print(f"skipped: {name}: {missing}")
        return harness.SKIPPED

    server = harness.SiteServer(site)
    print(f"{name} {engine.version}")
    page = EnginePage(engine, server)
    try:
        GROUPS[group](page)
        page.note_errors()
        check(not page.errors, "errors in the page")
        message = harness.page_message(page)
        check(not message, f"the page says: {message}")
        print(f"{name} {group}: passed")
        return 0
    except Exception as failure:  # a check that failed, or the browser or its driver
        if not isinstance(failure, harness.Failure):
            traceback.print_exc()
        shot = os.path.join(os.environ.get("TMPDIR", "/tmp"),
                            f"hopla-web-failed-{name}-{group}.png")
        try:
            engine.screenshot(shot)
        except Exception:  # the browser is gone too
            shot = "none, the browser did not answer"
        print(f"FAILED: {failure} (the page as it was: {shot})")
        for error in page.errors:
            print(f"  page error: {error}")
        return 1
    finally:
        engine.quit()
        server.stop()


if __name__ == "__main__":
    sys.exit(main())
