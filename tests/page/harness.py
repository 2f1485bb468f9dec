"""What the page tests share: the browser's page with its probes, the test's own web server,
the helpers all use and the run of a group in headless Chromium. The groups are in
page_test.py and tabs_best_test.py.
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
    def __init__(self, driver, server):
        self.driver = driver
        self.server = server
        self.url = f"http://127.0.0.1:{server.port}/"

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
        self.wait_for("the game did not start", lambda: self.turns() > 2)

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

    def tap(self, point, offset=(0, 0), hold_frames=0):
        """A touch on the point, moved by offset CSS pixels, held for that many frames."""
        x, y = self.to_page(point)
        touch = [{"x": x + offset[0], "y": y + offset[1], "id": 1}]
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent",
                                    {"type": "touchStart", "touchPoints": touch})
        if hold_frames:
            self.wait_frames(hold_frames)
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent",
                                    {"type": "touchEnd", "touchPoints": []})

    def long_press(self, point):
        """The context menu a long press on a touch screen asks for. Chromium's emulated
        touches make no long press, so the page is handed the event the browser would send."""
        x, y = self.to_page(point)
        self.js("document.getElementById('canvas').dispatchEvent(new PointerEvent('contextmenu',"
                " {clientX: arguments[0], clientY: arguments[1], pointerType: 'touch',"
                " bubbles: true, cancelable: true}))", x, y)

    def key(self, kind, key, code):
        self.driver.execute_cdp_cmd("Input.dispatchKeyEvent", {
            "type": kind, "key": key, "code": code, "windowsVirtualKeyCode": 27})

    def turns(self):
        """The frames the page has run, as the probes count them."""
        return self.js("return window.hoplaProbes ? window.hoplaProbes.frames : 0")

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
        return self.js("var s = window.hoplaProbes ? window.hoplaProbes.soundStarts : {};"
                       "return s[arguments[0]] || 0;", entry)

    def ended_shown(self):
        return self.js("return !document.getElementById('ended').hidden")

    def set_window(self, state):
        """Puts the browser's window in that state: "minimized" hides the page, "normal"
        shows it again."""
        window = self.driver.execute_cdp_cmd("Browser.getWindowForTarget", {})["windowId"]
        self.driver.execute_cdp_cmd("Browser.setWindowBounds",
                                    {"windowId": window, "bounds": {"windowState": state}})

    def wait_for_worker(self):
        """Waits until a service worker controls the page; returns the caches it keeps."""
        self.wait_for("no service worker controls the page",
                      lambda: self.js("return !!navigator.serviceWorker.controller"), 0.1)
        return self.driver.execute_async_script(
            "caches.keys().then(arguments[arguments.length - 1])")


def page_message(page):
    return page.js("var m = document.getElementById('message');"
                   "return m.hidden ? '' : m.textContent;")



PROBES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "probes.js")


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    """Serves the site as it is, but for the page itself, whose head gets the probes first."""

    def do_GET(self):
        if self.path.split("?")[0] not in ("/", "/index.html"):
            return super().do_GET()
        with open(os.path.join(self.directory, "index.html"), encoding="utf-8") as page, \
                open(PROBES, encoding="utf-8") as probes:
            body = page.read().replace("<head>", "<head>\n<script>\n" + probes.read() +
                                       "</script>", 1).encode()
        self.send_response(200)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


class SiteServer:
    """The test's web server for a site folder on localhost. Stopped, it refuses connections
    as a host that is gone does; started again, it keeps its port, so the browser sees the
    same site (the same origin), e.g. a new version of it. The page gets the probes, unless
    another handler serves it."""

    def __init__(self, site, handler=None):
        self.port = 0
        self.http = None
        self.handler = handler or QuietHandler
        self.start(site)

    def start(self, site):
        self.stop()
        self.site = site
        handler = functools.partial(self.handler, directory=site)
        self.http = http.server.ThreadingHTTPServer(("127.0.0.1", self.port), handler)
        self.port = self.http.server_port
        threading.Thread(target=self.http.serve_forever, daemon=True).start()

    def stop(self):
        if self.http:
            self.http.shutdown()
            self.http.server_close()
            self.http = None


def chromium_missing(site, built_file):
    """What keeps the page in site from being tested in Chromium here, as (exit status, line):
    77 and why, for something not installed; 1 when the page is not built. None when nothing."""
    if not shutil.which("emcc"):
        return SKIPPED, "skipped: emscripten is not installed, so there is no page to test"
    if not shutil.which("chromium") or not shutil.which("chromedriver"):
        return SKIPPED, "skipped: chromium and chromium-driver are needed to test the page"
    try:
        import selenium  # noqa: F401
    except ImportError:
        return SKIPPED, "skipped: python3-selenium is needed to drive the browser"
    if not os.path.exists(os.path.join(site, built_file)):
        return 1, f"FAILED: no page in {site}; build it with ./web.sh --build-only"
    return None


def start_chromium(*arguments):
    """Headless Chromium through chromedriver, its window the size the page tests and the page
    benchmark count on, with these arguments besides."""
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service

    options = webdriver.ChromeOptions()
    for argument in ("--headless=new", "--window-size=1000,900", "--force-device-scale-factor=1",
                     *arguments):
        options.add_argument(argument)
    if os.geteuid() == 0:
        options.add_argument("--no-sandbox")
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    return webdriver.Chrome(service=Service(shutil.which("chromedriver")), options=options)


def run_in_chromium(groups, usage):
    """Runs the group the command line names (SITE GROUP) on the page in headless Chromium,
    driven through Selenium and DevTools: the exit status, 77 when the browser is missing."""
    if len(sys.argv) != 3 or sys.argv[2] not in groups:
        print(usage, file=sys.stderr)
        return 2
    site, group = sys.argv[1], sys.argv[2]
    missing = chromium_missing(site, "hopla.wasm")
    if missing:
        print(missing[1])
        return missing[0]
    server = SiteServer(site)
    driver = start_chromium()  # sound as a player's browser allows it: only after a gesture
    try:
        page = Page(driver, server)
        groups[group](page)
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
        server.stop()
