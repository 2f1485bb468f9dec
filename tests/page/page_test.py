#!/usr/bin/python3
"""The game's web page in headless Chromium, driven through Selenium and the DevTools input
events, and watched through the canvas's own pixels.

Usage: page_test.py SITE GROUP    (GROUP: play, storage, tabs, blocked, close, scaled, phone,
                                  failures; measure prints the frame time in batches of frames)

The page in SITE (build-web/site) is served on localhost by a server of the test's own. Exit
status 0 passed, 1 failed, 77 skipped because emscripten or the browser is missing.
"""

import functools
import http.server
import os
import shutil
import sys
import threading
import time

SKIPPED = 77
PATIENCE = float(os.environ.get("HOPLA_WEB_PATIENCE", "60"))  # seconds a step waits

# Areas of the canvas (x, y, width, height), the visible 440 x 400 part of the game's frame.
SCORE_AREA = (362, 44, 78, 22)  # up to the canvas's right edge
BEST_AREA = (76, 44, 72, 22)
FPS_AREA = (30, 350, 72, 22)
# Where the ball comes to rest, in client pixels of the 640 x 480 frame.
REST = (320, 372)
CLOSE_BUTTON = (523, 49)
AWAY = (420, 300)  # inside the box, far from the ball, the numbers and the frame

KICK, BOUNCE, HOVER = 0, 1, 2  # the sound bank's entries
# The stored best score 1: 1 * 131072 + 0x4B1D2E73 in decimal, a zero byte, zero filler.
STORED_BEST_1 = "1260334707".encode().hex() + "00" * 6


class Failure(Exception):
    pass


def check(condition, what):
    if not condition:
        raise Failure(what)


# Helpers the test puts into the page: snapshots of the canvas by name, the box of the pixels
# two snapshots differ in, and whether an area of two snapshots is the same.
HELPERS = """
window.pageTest = window.pageTest || {
  shots: {},
  grab: function(name) {
    var canvas = document.getElementById('canvas');
    this.shots[name] = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height);
  },
  changedBox: function(a, b) {
    var x = this.shots[a], y = this.shots[b], w = x.width;
    var left = w, top = x.height, right = -1, bottom = -1;
    for (var i = 0; i < x.data.length; i += 4) {
      if (x.data[i] !== y.data[i] || x.data[i + 1] !== y.data[i + 1] ||
          x.data[i + 2] !== y.data[i + 2]) {
        var px = (i / 4) % w, py = Math.floor(i / 4 / w);
        left = Math.min(left, px); right = Math.max(right, px);
        top = Math.min(top, py); bottom = Math.max(bottom, py);
      }
    }
    return right < 0 ? null : [left, top, right - left + 1, bottom - top + 1];
  },
  area: function(name, area) {
    var x = this.shots[name], w = x.width, out = [];
    for (var row = area[1]; row < area[1] + area[3]; ++row)
      for (var col = area[0]; col < area[0] + area[2]; ++col)
        for (var c = 0; c < 3; ++c) out.push(x.data[(row * w + col) * 4 + c]);
    return out;
  },
  sameArea: function(a, b, area) {
    var x = this.shots[a], y = this.shots[b], w = x.width;
    for (var row = area[1]; row < area[1] + area[3]; ++row)
      for (var col = area[0]; col < area[0] + area[2]; ++col)
        for (var c = 0; c < 3; ++c)
          if (x.data[(row * w + col) * 4 + c] !== y.data[(row * w + col) * 4 + c]) return false;
    return true;
  },
};
"""


class Page:
    def __init__(self, driver, url):
        self.driver = driver
        self.url = url

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def helper(self, call, *args):
        return self.js(HELPERS + "return window.pageTest." + call + ";", *args)

    def wait_for(self, what, test, interval=0.05):
        limit = time.monotonic() + PATIENCE
        while True:
            result = test()
            if result:
                return result
            if time.monotonic() > limit:
                raise Failure(what)
            time.sleep(interval)

    def open(self):
        self.driver.get(self.url)
        self.wait_for("the game did not start", lambda: self.js(
            "return !!(window.hoplaTurnTime && window.hoplaTurnTime.turns > 2)"))

    # Client pixels of the game's frame to page coordinates, through the canvas's shown size.
    def to_page(self, point):
        box = self.js("var b = document.getElementById('canvas').getBoundingClientRect();"
                      "return [b.left, b.top, b.width, b.height];")
        return (box[0] + (point[0] - 100 + 0.5) * box[2] / 440,
                box[1] + (point[1] - 40 + 0.5) * box[3] / 400)

    def mouse(self, kind, point, button="none"):
        x, y = self.to_page(point)
        self.driver.execute_cdp_cmd("Input.dispatchMouseEvent", {
            "type": kind, "x": x, "y": y, "button": button, "clickCount": 1,
            "buttons": {"left": 1, "right": 2}.get(button, 0) if kind == "mousePressed" else 0})

    def point(self, point):
        self.mouse("mouseMoved", point)

    def click(self, point, button="left"):
        self.mouse("mouseMoved", point)
        self.wait_frames(2)  # the game judges a press by where the last frame saw the pointer
        self.mouse("mousePressed", point, button)
        self.mouse("mouseReleased", point, button)

    def tap(self, point):
        x, y = self.to_page(point)
        touch = [{"x": x, "y": y, "id": 1}]
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent",
                                    {"type": "touchStart", "touchPoints": touch})
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent",
                                    {"type": "touchEnd", "touchPoints": []})

    def key(self, kind, key, code):
        self.driver.execute_cdp_cmd("Input.dispatchKeyEvent", {
            "type": kind, "key": key, "code": code, "windowsVirtualKeyCode": 27})

    def turns(self):
        return self.js("return window.hoplaTurnTime ? window.hoplaTurnTime.turns : 0")

    def wait_frames(self, count):
        start = self.turns()
        self.wait_for(f"the game did not run {count} frames",
                      lambda: self.turns() >= start + count, 0.01)

    def grab(self, name):
        self.helper("grab(arguments[0])", name)

    def ball_rests(self):
        """Snapshots until two changes in a row lie in the same small box: the ball turning on
        the spot. Returns that box's centre in client pixels."""
        previous = None
        self.grab("rest.0")
        index = 0
        limit = time.monotonic() + PATIENCE
        while time.monotonic() < limit:
            time.sleep(0.25)
            index += 1
            self.grab(f"rest.{index}")
            box = self.helper("changedBox(arguments[0], arguments[1])",
                              f"rest.{index - 1}", f"rest.{index}")
            if box is None:
                continue
            if previous and box[2] <= 90 and box[3] <= 90 and previous[2] <= 90 and \
                    previous[3] <= 90 and all(abs(a - b) <= 3 for a, b in zip(box, previous)):
                self.grab("rest")
                return (box[0] + box[2] // 2 + 100, box[1] + box[3] // 2 + 40)
            previous = box
        raise Failure("the ball did not come to rest")

    def await_area(self, name, area, reference, same, what):
        def looks():
            self.grab(name)
            return self.helper("sameArea(arguments[0], arguments[1], arguments[2])",
                               reference, name, list(area)) == same
        self.wait_for(what, looks, 0.1)

    def sound_starts(self, entry):
        return self.js("var s = window.hoplaSoundStarts || {}; return s[arguments[0]] || 0;",
                       entry)

    def ended_shown(self):
        return self.js("return !document.getElementById('ended').hidden")


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


def group_play(page):
    page.open()
    print("the ball falls and comes to rest; the hover and the kick are heard")
    page.point(AWAY)
    hovers = page.sound_starts(HOVER)
    page.point(CLOSE_BUTTON)
    page.wait_for("no hover sound over the close button",
                  lambda: page.sound_starts(HOVER) == hovers + 1)
    page.wait_frames(5)
    check(page.sound_starts(HOVER) == hovers + 1, "the hover sound repeated within the button")
    page.ball_rests()
    print("the right button shows and hides the frames per second (far from the ball at rest)")
    page.point((320, 250))
    page.wait_frames(2)
    page.grab("fps0")
    page.click((320, 250), "right")
    page.await_area("fps1", FPS_AREA, "fps0", False, "no frames-per-second number appeared")
    page.click((320, 250), "right")
    page.await_area("fps2", FPS_AREA, "fps0", True, "the frames-per-second number stayed")

    page.point(AWAY)
    kicks = page.sound_starts(KICK)
    page.grab("best0")
    resting_ball_is_kicked(page, page.click, "a click")
    check(page.sound_starts(KICK) == kicks + 1,
          f"{page.sound_starts(KICK) - kicks} kick sounds for one kick")
    page.point(AWAY)
    page.await_area("best1", BEST_AREA, "best0", False, "the best score did not follow the kick")

    print("a press on a drag strip is the window's: its release over the close button ends nothing")
    page.point((300, 50))
    page.wait_frames(2)
    page.mouse("mousePressed", (300, 50), "left")
    page.point(CLOSE_BUTTON)
    page.wait_frames(2)
    page.mouse("mouseReleased", CLOSE_BUTTON, "left")
    page.wait_frames(3)
    check(not page.ended_shown(), "the release of a drag ended the game")

    timing = page.js("return window.hoplaTurnTime")
    print(f"frame time: {timing['milliseconds'] / timing['turns']:.3f} ms a turn over "
          f"{timing['turns']} turns")


def group_storage(page):
    page.open()
    page.js("localStorage.removeItem('hopla-best-score')")
    print("a kick gives best score 1, which survives a reload")
    page.point(AWAY)
    resting_ball_is_kicked(page, page.click, "a click")
    page.point(AWAY)
    page.wait_frames(3)
    page.grab("best1")
    best1 = page.helper("area(arguments[0], arguments[1])", "best1", list(BEST_AREA))
    page.driver.refresh()  # the page is hidden: the best score is stored
    stored = page.js("return localStorage.getItem('hopla-best-score')")
    check(stored == STORED_BEST_1, f"the page stored {stored!r}, not best score 1")
    page.wait_for("the game did not start again", lambda: page.turns() > 2)
    page.point(AWAY)

    def best_again():
        page.grab("best.again")
        return page.helper("area(arguments[0], arguments[1])", "best.again",
                           list(BEST_AREA)) == best1
    page.wait_for("the reloaded game does not show the best score of the first", best_again)

    print("ESC ends the game; a damaged stored best score then reads as 0 and is replaced")
    end_with_escape(page)
    page.js("localStorage.setItem('hopla-best-score', 'not a best score')")
    page.driver.refresh()
    page.wait_for("the game with a damaged best score did not start", lambda: page.turns() > 2)
    page.point(AWAY)
    page.wait_frames(3)
    page.grab("best.damaged")
    check(page.helper("area(arguments[0], arguments[1])", "best.damaged", list(BEST_AREA))
          != best1, "the damaged best score showed 1")
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


def group_tabs(page):
    page.open()
    first = page.driver.current_window_handle
    print("a second tab makes best score 1; hidden behind the first again, it has stored it")
    page.driver.switch_to.new_window("tab")  # the browser hides the first tab
    page.open()
    page.point(AWAY)
    resting_ball_is_kicked(page, page.click, "a click in the second tab")
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


def group_phone(page):
    print("on a 390-pixel-wide touch screen the canvas fits and a tap on the resting ball scores")
    page.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": 390, "height": 844, "deviceScaleFactor": 3, "mobile": True})
    page.driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled",
                                {"enabled": True, "maxTouchPoints": 1})
    page.open()
    width = page.js("return document.getElementById('canvas').getBoundingClientRect().width")
    check(370 <= width <= 390, f"the canvas is {width} CSS pixels wide on a 390-pixel screen")
    scrolled = page.js("return document.documentElement.scrollWidth")
    check(scrolled <= 390, f"the page scrolls sideways ({scrolled} pixels wide)")
    resting_ball_is_kicked(page, page.tap, "a tap")


def page_message(page):
    return page.js("var m = document.getElementById('message');"
                   "return m.hidden ? '' : m.textContent;")


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


def group_measure(page):
    """Not a test: the time of the loop's turns, in batches of 300 frames, once the ball rests."""
    page.open()
    page.point(AWAY)
    page.ball_rests()
    for batch in range(5):
        before = page.js("return Object.assign({}, window.hoplaTurnTime)")
        page.wait_frames(300)
        after = page.js("return Object.assign({}, window.hoplaTurnTime)")
        turns = after["turns"] - before["turns"]
        print(f"batch {batch + 1}: {(after['milliseconds'] - before['milliseconds']) / turns:.3f} "
              f"ms a frame over {turns} frames")


GROUPS = {"measure": group_measure, "play": group_play, "storage": group_storage, "tabs": group_tabs,
          "blocked": group_blocked, "close": group_close, "scaled": group_scaled,
          "phone": group_phone, "failures": group_failures}


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def serve(site):
    handler = functools.partial(QuietHandler, directory=site)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def main():
    if len(sys.argv) != 3 or sys.argv[2] not in GROUPS:
        print(__doc__, file=sys.stderr)
        return 2
    site, group = sys.argv[1], sys.argv[2]
    if not shutil.which("emcc"):
        print("skipped: emscripten is not installed, so there is no page to test")
        return SKIPPED
    if not shutil.which("chromium") or not shutil.which("chromedriver"):
        print("skipped: chromium and chromium-driver are needed to test the page")
        return SKIPPED
    try:
        from selenium import webdriver
        from selenium.webdriver.chrome.service import Service
    except ImportError:
        print("skipped: python3-selenium is needed to drive the browser")
        return SKIPPED
    if not os.path.exists(os.path.join(site, "hopla.wasm")):
        print(f"FAILED: no page in {site}; build it with ./web.sh --build-only")
        return 1

    server = serve(site)
    options = webdriver.ChromeOptions()
    for argument in ("--headless=new", "--autoplay-policy=no-user-gesture-required",
                     "--window-size=1000,900", "--force-device-scale-factor=1"):
        options.add_argument(argument)
    if os.geteuid() == 0:
        options.add_argument("--no-sandbox")
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service(shutil.which("chromedriver")), options=options)
    try:
        page = Page(driver, f"http://127.0.0.1:{server.server_port}/")
        GROUPS[group](page)
        message = page_message(page)
        if message:
            raise Failure(f"the page says: {message}")
        print(f"{group}: passed")
        return 0
    except Failure as failure:
        shot = os.path.join(os.environ.get("TMPDIR", "/tmp"), f"hopla-web-failed-{group}.png")
        driver.save_screenshot(shot)
        print(f"FAILED: {failure} (the page as it was: {shot})")
        for entry in driver.get_log("browser"):
            print(f"  browser: {entry['message']}")
        return 1
    finally:
        driver.quit()
        server.shutdown()


if __name__ == "__main__":
    sys.exit(main())
