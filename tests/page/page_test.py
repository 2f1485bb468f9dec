#!/usr/bin/python3
"""The game's web page in headless Chromium, driven through Selenium and the DevTools input
events, and watched through the canvas's own pixels.

Usage: page_test.py SITE GROUP    (GROUP: play, storage, tabs, blocked, close, scaled, phone,
                                   phone_turned, hidden, offline, update, failures)

The page in SITE (build-web/site) is served on localhost by a server of the test's own
(harness.py), which puts the probes of probes.js into the page. Exit status 0 passed, 1 failed,
77 skipped because emscripten or the browser is missing.
"""

import os
import re
import shutil
import sys
import tempfile
import time

from harness import check, page_message, run_in_chromium

# Areas of the canvas (x, y, width, height), the visible 440 x 400 part of the game's frame.
SCORE_AREA = (362, 44, 78, 22)  # up to the canvas's right edge
BEST_AREA = (76, 44, 72, 22)
FPS_AREA = (30, 350, 72, 22)
# Where the ball comes to rest, in client pixels of the 640 x 480 frame.
REST = (320, 372)
CLOSE_BUTTON = (523, 49)
AWAY = (420, 300)  # inside the box, far from the ball, the numbers and the frame

# The three effects, known to the probes by their length in samples.
KICK, BOUNCE, HOVER = 296, 148, 1002
# The stored best score 1: 1 * 131072 + 0x4B1D2E73 in decimal, a zero byte, zero filler.
STORED_BEST_1 = "1260334707".encode().hex() + "00" * 6


def resting_ball_is_kicked(page, kick, what):
    """Waits for the ball to rest where it should, kicks it with kick(point) and checks that
    the score changed."""
    ball = page.ball_rests()
    check(abs(ball[0] - REST[0]) <= 6 and abs(ball[1] - REST[1]) <= 10,
          f"the ball rests around {ball}, not {REST}")
    page.grab("score0")
    kick(ball)
    page.await_area("score1", SCORE_AREA, "score0", False,
                    f"{what}: the score did not change after the kick")
    return ball


def kick_is_heard_and_raises_best(page):
    """A click on the resting ball scores, makes one kick sound and raises the best score."""
    page.point(AWAY)
    kicks = page.sound_starts(KICK)
    page.grab("best0")
    resting_ball_is_kicked(page, page.click, "a click")
    check(page.sound_starts(KICK) == kicks + 1,
          f"{page.sound_starts(KICK) - kicks} kick sounds for one kick")
    page.point(AWAY)
    page.await_area("best1", BEST_AREA, "best0", False, "the best score did not follow the kick")


def how_line(page):
    """The how-to line the page shows: "how-mouse" (clicks and keys) or "how-touch" (taps)."""
    return page.js("return document.querySelector('.how:not([hidden])').id")


def fps_toggles(page):
    """The right button shows and hides the frames per second, far from the ball at rest."""
    page.point((320, 250))
    page.wait_frames(2)
    page.grab("fps0")
    page.click((320, 250), "right")
    page.await_area("fps1", FPS_AREA, "fps0", False, "no frames-per-second number appeared")
    page.click((320, 250), "right")
    page.await_area("fps2", FPS_AREA, "fps0", True, "the frames-per-second number stayed")
    check(not page.ended_shown(), "a right click ended the game")


def group_play(page):
    page.open()
    print("the ball falls and comes to rest; the hover and the kick are heard")
    # The page makes sound once the player has done something, as browsers allow it.
    page.click(AWAY)
    check(how_line(page) == "how-mouse", "the page speaks of taps to a mouse")
    hovers = page.sound_starts(HOVER)
    page.point(CLOSE_BUTTON)
    page.wait_for("no hover sound over the close button",
                  lambda: page.sound_starts(HOVER) == hovers + 1)
    page.wait_frames(5)
    check(page.sound_starts(HOVER) == hovers + 1, "the hover sound repeated within the button")
    page.ball_rests()
    print("the right button shows and hides the frames per second (far from the ball at rest)")
    fps_toggles(page)

    kick_is_heard_and_raises_best(page)

    print("a press on a drag strip is the window's: its release over the close button ends nothing")
    page.point((300, 50))
    page.wait_frames(2)
    page.mouse("mousePressed", (300, 50), "left")
    page.point(CLOSE_BUTTON)
    page.wait_frames(2)
    page.mouse("mouseReleased", CLOSE_BUTTON, "left")
    page.wait_frames(3)
    check(not page.ended_shown(), "the release of a drag ended the game")


def group_storage(page):
    """A best score kept across reloads is tested in every engine (engines_test.py); here, a
    damaged one."""
    page.open()
    print("a damaged stored best score reads as 0, and the end stores 0 in its place")
    end_with_escape(page)  # so that leaving the page stores nothing
    page.js("localStorage.setItem('hopla-best-score', 'not a best score')")
    page.driver.refresh()
    page.wait_for("the game with a damaged best score did not start", lambda: page.turns() > 2)
    end_with_escape(page)
    stored = page.js("return localStorage.getItem('hopla-best-score')")
    check(stored == "1260203635".encode().hex() + "00" * 6,
          f"the end stored {stored!r}, not best score 0")


def stored_best(page):
    return page.js("return localStorage.getItem('hopla-best-score')")


def end_with_escape(page):
    page.key("keyDown", "Escape", "Escape")
    page.wait_for("ESC did not end the game", page.ended_shown)
    page.key("keyUp", "Escape", "Escape")


def second_tab_scores(page):
    """Opens the game in a second tab, which hides the first, and scores 1 there. Returns the
    first tab's handle."""
    first = page.driver.current_window_handle
    page.driver.switch_to.new_window("tab")
    page.open()
    page.point(AWAY)
    resting_ball_is_kicked(page, page.click, "a click in the second tab")
    return first


def group_tabs(page):
    page.open()
    print("a second tab makes best score 1; hidden behind the first again, it has stored it")
    first = second_tab_scores(page)
    second = page.driver.current_window_handle
    page.driver.switch_to.window(first)  # and now the second
    check(page.js("return document.visibilityState") == "visible", "the first tab is not shown")
    check(stored_best(page) == STORED_BEST_1, f"the hidden tab stored {stored_best(page)!r}")
    print("the second tab ends, then the first, opened before that best score, without lowering it")
    page.driver.switch_to.window(second)
    end_with_escape(page)
    page.driver.switch_to.window(first)
    end_with_escape(page)
    check(stored_best(page) == STORED_BEST_1, f"the first tab's end stored {stored_best(page)!r}")


def group_blocked(page):
    def line():
        return page.js("var s = document.getElementById('storage'); return s.hidden ? '' : s.textContent")

    print("a browser that refuses the page its storage: one line says so, and the game plays on")
    refuse = page.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source":
        "Object.defineProperty(window, 'localStorage', {get: function() {"
        " throw new DOMException('No storage', 'SecurityError'); }});"})
    page.open()
    check("best score can't be kept" in line(), f"the page says {line()!r}")
    page.point(AWAY)
    resting_ball_is_kicked(page, page.click, "a click without storage")
    end_with_escape(page)
    page.driver.execute_cdp_cmd("Page.removeScriptToEvaluateOnNewDocument", refuse)

    print("a full storage: the failed save is said, and what was stored stays")
    page.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source":
        f"localStorage.setItem('hopla-best-score', '{STORED_BEST_1}'); Storage.prototype.setItem ="
        " function() { throw new DOMException('Full', 'QuotaExceededError'); };"})
    page.open()
    check(line() == "", f"before any save the page says {line()!r}")
    end_with_escape(page)
    check("storage for this site is full" in line(), f"the page says {line()!r}")
    check(stored_best(page) == STORED_BEST_1, f"the storage holds {stored_best(page)!r}")


def group_close(page):
    page.open()
    print("a press on the close button released elsewhere goes on; released there it ends")
    page.point(CLOSE_BUTTON)
    page.wait_frames(2)
    page.mouse("mousePressed", CLOSE_BUTTON, "left")
    page.point(AWAY)
    page.wait_frames(2)
    page.mouse("mouseReleased", AWAY, "left")
    page.wait_frames(3)
    check(not page.ended_shown(), "a release away from the close button ended the game")
    page.click((523, 66))  # below the close button, in a finger's reach of it but not a mouse's
    page.wait_frames(3)
    check(not page.ended_shown(), "a click beside the close button ended the game")
    page.click(CLOSE_BUTTON)
    page.wait_for("the close button did not end the game", page.ended_shown)
    turns = page.turns()
    time.sleep(0.3)
    check(page.turns() == turns, "the loop goes on after the game ended")
    check(page.js("return localStorage.getItem('hopla-best-score')") is not None,
          "the end did not store the best score")

    print("play again starts a new game")
    page.driver.find_element("id", "again").click()
    page.wait_for("play again did not start a game", lambda: page.turns() > turns + 3)
    check(not page.ended_shown(), "the end is still offered in the new game")
    page.point(AWAY)
    resting_ball_is_kicked(page, page.click, "in the new game")


def group_scaled(page):
    page.open()
    print("a canvas enlarged by CSS still maps clicks onto the ball")
    page.js("var c = document.getElementById('canvas');"
            "c.style.width = '880px'; c.style.height = '800px';")
    check(page.js("return document.getElementById('canvas').getBoundingClientRect().width")
          == 880, "the canvas was not enlarged")
    page.point(AWAY)
    resting_ball_is_kicked(page, page.click, "a click on the enlarged canvas")


def phone(page, width, height):
    page.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": width, "height": height, "deviceScaleFactor": 3, "mobile": True})
    page.driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled",
                                {"enabled": True, "maxTouchPoints": 1})


def canvas_fits(page, width, height, what):
    box = page.js("var b = document.getElementById('canvas').getBoundingClientRect();"
                  "return [b.left, b.top, b.right, b.bottom];")
    check(box[0] >= 0 and box[1] >= 0 and box[2] <= width and box[3] <= height,
          f"{what}: the canvas lies at {box}, not within {width} x {height}")


def group_phone(page):
    print("on a 390-pixel-wide touch screen the canvas fits and the page speaks of taps")
    phone(page, 390, 844)
    page.open()
    width = page.js("return document.getElementById('canvas').getBoundingClientRect().width")
    check(370 <= width <= 390, f"the canvas is {width} CSS pixels wide on a 390-pixel screen")
    scrolled = page.js("return document.documentElement.scrollWidth")
    check(scrolled <= 390, f"the page scrolls sideways ({scrolled} pixels wide)")
    check(how_line(page) == "how-touch", "the page speaks of clicks on a touch screen")

    print("a long press shows and hides the frames per second")
    ball = page.ball_rests()
    page.grab("fps0")
    page.long_press((320, 250))
    page.await_area("fps1", FPS_AREA, "fps0", False, "a long press showed no frames per second")
    page.long_press((320, 250))
    page.await_area("fps2", FPS_AREA, "fps0", True, "a second long press left the number")

    print("the first tap, held a few frames, kicks with its sound and no warning before it")
    # Leaving out the browser's advice on the test's own snapshots of the canvas.
    warnings = [entry["message"] for entry in page.driver.get_log("browser")
                if entry["level"] != "INFO" and "willReadFrequently" not in entry["message"]]
    check(not warnings, f"the browser warned before the first touch: {sorted(set(warnings))}")
    page.grab("score0")
    page.tap(ball, hold_frames=3)  # the kick comes before the touch lifts and lets sound play
    check(page.sound_starts(KICK) == 1,
          f"the first tap made {page.sound_starts(KICK)} kick sounds, not one")
    page.await_area("score1", SCORE_AREA, "score0", False, "the first tap did not score")

    print("the how-to line follows what presses: a mouse, then a finger again")
    page.click(AWAY)
    check(how_line(page) == "how-mouse", "the page speaks of taps after a click")
    page.tap(AWAY)
    check(how_line(page) == "how-touch", "the page speaks of clicks after a tap")

    print("a touch near the close button is on it: 26 CSS pixels off nothing, 20 ends the game")
    page.tap(CLOSE_BUTTON, offset=(0, 26))
    page.wait_frames(3)
    check(not page.ended_shown(), "a tap 26 CSS pixels below the close button ended the game")
    page.tap(CLOSE_BUTTON, offset=(-20, 20))
    page.wait_for("a tap 20 CSS pixels from the close button did not end the game",
                  page.ended_shown)


def group_phone_turned(page):
    print("on a phone held sideways the whole canvas shows and a tap on the ball scores")
    phone(page, 844, 390)
    page.open()
    canvas_fits(page, 844, 390, "sideways")
    resting_ball_is_kicked(page, page.tap, "a tap on the phone held sideways")

    print("the full-screen control puts the whole canvas on the screen")
    page.js("document.getElementById('full').scrollIntoView()")
    button = page.js("var b = document.getElementById('full').getBoundingClientRect();"
                     "return [b.left + b.width / 2, b.top + b.height / 2];")
    for kind, points in (("touchStart", [{"x": button[0], "y": button[1], "id": 1}]),
                         ("touchEnd", [])):
        page.driver.execute_cdp_cmd("Input.dispatchTouchEvent",
                                    {"type": kind, "touchPoints": points})
    page.wait_for("a tap on the control did not go full screen",
                  lambda: page.js("return !!document.fullscreenElement"))
    page.wait_frames(3)
    size = page.js("return [innerWidth, innerHeight]")
    canvas_fits(page, size[0], size[1], "full screen")


def group_hidden(page):
    page.open()
    page.point(AWAY)
    # At rest, turning on the spot: a kick's squash and flash, which settle by the frame and
    # not by the time that passed, are over.
    page.ball_rests()
    print("a hidden page makes no frames; shown again, its game goes on from where it was")
    # The last frame the game drew before the page was hidden, and the first it draws when
    # shown again: the frame after a pause of over a second, which the browser may run before
    # or after telling the page that it is shown.
    page.js("window.pageTest.grab('before');"
            "var last = performance.now();"
            "window.hoplaProbes.afterFrame = function() {"
            "  var now = performance.now(), first = now - last > 1000;"
            "  last = now;"
            "  if (first && window.hiding) window.pageTest.grab('after');"
            "  if (first) window.hiding = false;"
            "  if (window.hiding) window.pageTest.grab('before');"
            "};"
            "window.hiding = true;")
    page.set_window("minimized")
    page.wait_for("the page was not hidden", lambda: page.js("return document.hidden"))
    time.sleep(0.3)  # a frame the browser had already begun
    turns = page.turns()
    time.sleep(2)  # so long that the first frame's step stalls the game (over 64 units)
    check(page.turns() == turns, f"{page.turns() - turns} frames ran while the page was hidden")
    page.set_window("normal")
    page.wait_for("the page was not shown again",
                  lambda: page.js("return !!window.pageTest.shots.after"))
    moved = page.helper("changedBox(arguments[0], arguments[1])", "before", "after")
    check(moved is None, f"the first frame shown again moved the game (in {moved})")
    page.wait_frames(5)
    page.grab("later")
    check(page.helper("changedBox(arguments[0], arguments[1])", "after", "later"),
          "the game did not go on after the page was shown again")


def group_offline(page):
    page.open()
    print("the page can be installed; its worker keeps the site at the first visit")
    caches = page.wait_for_worker()
    check(len(caches) == 1, f"the worker keeps {caches}, not one version of the site")
    errors = page.driver.execute_cdp_cmd("Page.getInstallabilityErrors", {})
    check(not errors["installabilityErrors"], f"the page cannot be installed: {errors}")
    print("with the server gone, a reload draws the box and a click scores")
    page.server.stop()
    page.driver.refresh()
    page.wait_for("the game did not start offline", lambda: page.turns() > 2)
    page.point(AWAY)
    resting_ball_is_kicked(page, page.click, "a click offline")


def new_version(site, folder):
    """Copies the site into folder as a new version of it would be published: a changed page
    and game script, and a new version name. Returns the old name and the new."""
    shutil.copytree(site, folder, dirs_exist_ok=True)
    with open(os.path.join(site, "service-worker.js"), encoding="utf-8") as worker:
        old = re.search(r"VERSION = '([0-9a-f]+)'", worker.read()).group(1)
    new = old[::-1] if old[::-1] != old else "0" + old[1:]
    # What is replaced, once, in each file ("" is the file's start).
    changes = {"index.html": ("<title>Hopla</title>", "<title>Hopla, a new version</title>"),
               "hopla.js": ("", "window.hoplaNewVersion = true;\n"),
               "service-worker.js": ("", "")}
    for name, (before, after) in changes.items():
        path = os.path.join(folder, name)
        with open(path, encoding="utf-8") as file:
            text = file.read()
        check(before in text, f"{name} has no {before!r} to change")
        with open(path, "w", encoding="utf-8") as file:
            file.write(text.replace(before, after, 1).replace(old, new))
    return old, new


def running_version(page):
    """The page's title, whether the new game script runs, and the versions of the game's
    files the page loaded."""
    return page.js("var names = performance.getEntriesByType('resource').map("
                   "  function(entry) { return entry.name; });"
                   "var versions = names.filter(function(name) {"
                   "  return /hopla\\.(js|wasm)\\?v=/.test(name); }).map(function(name) {"
                   "  return name.split('?v=')[1]; });"
                   "return [document.title, !!window.hoplaNewVersion, versions];")


def group_update(page):
    page.open()
    page.wait_for_worker()
    with tempfile.TemporaryDirectory() as folder:
        old, new = new_version(page.server.site, folder)
        print("a new version is published: the next visit still runs the old one, whole")
        page.server.start(folder)
        page.driver.get(page.url)
        page.wait_for("the game did not start", lambda: page.turns() > 2)
        seen = running_version(page)
        check(seen == ["Hopla", False, [old, old]], f"the page ran {seen}, not the old version")
        page.wait_for("the new version was not taken", lambda: page.driver.execute_async_script(
            "var done = arguments[arguments.length - 1], name = 'hopla-' + arguments[0];"
            "Promise.all([navigator.serviceWorker.getRegistration(), caches.keys()]).then("
            "  function(found) { done(!found[0].installing && !found[0].waiting &&"
            "                        found[1].indexOf(name) >= 0); });", new), 0.2)
        print("the visit after runs the new version, whole")
        page.driver.get(page.url)
        page.wait_for("the new game did not start", lambda: page.turns() > 2)
        seen = running_version(page)
        check(seen == ["Hopla, a new version", True, [new, new]],
              f"the page ran {seen}, not the new version")
        page.point(AWAY)
        resting_ball_is_kicked(page, page.click, "a click in the new version")


def group_failures(page):
    print("a browser without Web Audio: the sound set-up's failure is told in the page")
    hide = page.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {
        "source": "delete window.AudioContext; delete window.webkitAudioContext;"})
    page.driver.get(page.url)
    page.wait_for("the failed start offers no new game", page.ended_shown)
    check(page_message(page).split("\n") == [
        "Error: Unable to create DirectSound object",
        "Loading Error: Problem initiating DirectSound 8. Application will now terminate."],
        f"the page says {page_message(page)!r}")
    page.driver.execute_cdp_cmd("Page.removeScriptToEvaluateOnNewDocument", hide)

    print("a browser without WebAssembly: the page says so")
    page.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument",
                                {"source": "delete window.WebAssembly;"})
    page.driver.get(page.url)
    page.wait_for("the missing WebAssembly was not told in the page", lambda: page_message(page))
    check("WebAssembly" in page_message(page), f"the page says {page_message(page)!r}")
    # Told and done: the harness's last look for a message in the page is for the other groups.
    page.js("document.getElementById('message').hidden = true;")


GROUPS = {name[len("group_"):]: run for name, run in globals().items() if name.startswith("group_")}


if __name__ == "__main__":
    sys.exit(run_in_chromium(GROUPS, __doc__))
