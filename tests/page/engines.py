"""The three browser engines the page is tested in, behind one small interface: open a page,
run a script in it, move and press the mouse and press keys at page coordinates, reload, take a
screenshot, and collect the page's errors.

- chromium: Debian's chromium through chromedriver and Selenium, headless.
- firefox: Debian's firefox-esr through WebDriver BiDi, with puppeteer-core driven by bridge.js
  (installed into node_modules here by scripts/install-deps.sh browser), headless.
- webkit: WebKitGTK's MiniBrowser through WebKitWebDriver and Selenium, on a virtual X server
  of its own. Its WebDriver reports the release of a synthetic right click as a left release,
  so the right button is pressed there with real X events (xdotool).

start(name) gives an Engine, or raises Unavailable saying what is missing.
"""

import json
import os
import shutil
import subprocess
import time

HERE = os.path.dirname(os.path.abspath(__file__))
NAMES = ("chromium", "firefox", "webkit")
WIDTH, HEIGHT = 1000, 900  # the browser's window
FIREFOX = "/usr/bin/firefox-esr"


class Unavailable(Exception):
    """The engine is not installed here; the message says what is missing."""


class EngineError(Exception):
    """The engine or its driver failed to do what was asked."""


class Engine:
    """One browser with one page. Coordinates are CSS pixels of the page's viewport; scripts are
    function bodies that return a JSON value and read their arguments as arguments[i]."""

    name = ""
    version = ""

    def open(self, url):
        raise NotImplementedError

    def reload(self):
        raise NotImplementedError

    def run(self, script, *args):
        raise NotImplementedError

    def mouse(self, action, x, y, button="left"):
        """action: move, down or up; button: left or right."""
        raise NotImplementedError

    def key(self, action, key):
        """action: down or up; key: a key name such as Escape."""
        raise NotImplementedError

    def screenshot(self, path):
        raise NotImplementedError

    def errors(self):
        """The page errors the driver itself saw since the last call (some drivers see none;
        the probes in the page see the rest)."""
        return []

    def quit(self):
        raise NotImplementedError


# WebDriver's codes for the keys the tests press, and for the mouse buttons.
KEYS = {"Escape": "\ue00c"}
BUTTONS = {"left": 0, "right": 2}


class SeleniumEngine(Engine):
    """An engine behind a W3C WebDriver, given input through the WebDriver's actions."""

    def __init__(self, driver):
        self.driver = driver
        self.version = driver.capabilities.get("browserVersion", "")

    def open(self, url):
        self.driver.get(url)

    def reload(self):
        self.driver.refresh()

    def run(self, script, *args):
        return self.driver.execute_script(script, *args)

    def actions(self, source):
        from selenium.webdriver.remote.command import Command
        self.driver.execute(Command.W3C_ACTIONS, {"actions": [source]})

    def mouse(self, action, x, y, button="left"):
        steps = [{"type": "pointerMove", "duration": 0, "origin": "viewport",
                  "x": round(x), "y": round(y)}]
        if action != "move":
            steps.append({"type": {"down": "pointerDown", "up": "pointerUp"}[action],
                          "button": BUTTONS[button]})
        self.actions({"type": "pointer", "id": "mouse", "parameters": {"pointerType": "mouse"},
                      "actions": steps})

    def key(self, action, key):
        self.actions({"type": "key", "id": "keyboard", "actions": [
            {"type": {"down": "keyDown", "up": "keyUp"}[action], "value": KEYS[key]}]})

    def screenshot(self, path):
        self.driver.save_screenshot(path)

    def quit(self):
        self.driver.quit()


class Chromium(SeleniumEngine):
    name = "chromium"

    def __init__(self):
        if not shutil.which("chromium") or not shutil.which("chromedriver"):
            raise Unavailable("chromium and chromium-driver are needed")
        webdriver = selenium()
        from selenium.webdriver.chrome.service import Service
        options = webdriver.ChromeOptions()
        for argument in ("--headless=new", "--autoplay-policy=no-user-gesture-required",
                         f"--window-size={WIDTH},{HEIGHT}", "--force-device-scale-factor=1"):
            options.add_argument(argument)
        if os.geteuid() == 0:
            options.add_argument("--no-sandbox")
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        super().__init__(webdriver.Chrome(service=Service(shutil.which("chromedriver")),
                                          options=options))

    def errors(self):
        return [entry["message"] for entry in self.driver.get_log("browser")
                if entry["level"] == "SEVERE"]


class WebKit(SeleniumEngine):
    name = "webkit"

    def __init__(self):
        for program, package in (("WebKitWebDriver", "webkit2gtk-driver"), ("Xvfb", "xvfb"),
                                 ("xdotool", "xdotool")):
            if not shutil.which(program):
                raise Unavailable(f"{package} is needed ({program})")
        webdriver = selenium()
        from selenium.webdriver.webkitgtk.service import Service
        self.xvfb, display = start_xvfb()
        self.environment = dict(os.environ, DISPLAY=display)
        self.viewport_on_screen = None
        # The driver starts the browser with its own environment: the virtual display's.
        self.service = Service(shutil.which("WebKitWebDriver"), env=self.environment)
        try:
            self.service.start()
            driver = webdriver.Remote(command_executor=self.service.service_url,
                                      options=webdriver.WebKitGTKOptions())
            driver.set_window_rect(0, 0, WIDTH, HEIGHT)
        except BaseException:
            self.service.stop()
            self.xvfb.terminate()
            self.xvfb.wait()
            raise
        super().__init__(driver)

    def xdotool(self, *arguments):
        subprocess.run(["xdotool", *arguments], env=self.environment, check=True,
                       stdout=subprocess.DEVNULL, timeout=30)

    def to_screen(self, x, y):
        """A viewport point on the X screen, through where a real pointer move lands in the
        page: the browser's window has a toolbar above the page."""
        if self.viewport_on_screen is None:
            self.run("window.hoplaScreenOffset = null;"
                     "addEventListener('mousemove', function(e) {"
                     "  window.hoplaScreenOffset = [e.screenX - e.clientX, e.screenY - e.clientY];"
                     "}, {once: true, capture: true});")
            rect = self.driver.get_window_rect()
            # Two moves: the pointer may already be at the first point, which moves nothing.
            self.xdotool("mousemove", str(rect["x"] + rect["width"] // 2),
                         str(rect["y"] + rect["height"] // 2), "mousemove_relative", "1", "1")
            limit = time.monotonic() + 10
            while self.viewport_on_screen is None and time.monotonic() < limit:
                self.viewport_on_screen = self.run("return window.hoplaScreenOffset")
                time.sleep(0.05)
            if self.viewport_on_screen is None:
                raise EngineError("a real pointer move did not reach the page")
        return (round(x) + self.viewport_on_screen[0], round(y) + self.viewport_on_screen[1])

    def mouse(self, action, x, y, button="left"):
        if button != "right" or action == "move":
            return super().mouse(action, x, y, button)
        screen = self.to_screen(x, y)
        self.xdotool("mousemove", str(screen[0]), str(screen[1]),
                     {"down": "mousedown", "up": "mouseup"}[action], "3")

    def quit(self):
        try:
            super().quit()
        finally:
            self.service.stop()
            self.xvfb.terminate()
            self.xvfb.wait()


class Firefox(Engine):
    """Firefox through the node bridge: a request and its answer per line of JSON."""

    name = "firefox"

    def __init__(self):
        if not os.access(FIREFOX, os.X_OK):
            raise Unavailable("firefox-esr is needed")
        if not shutil.which("node"):
            raise Unavailable("node is needed (Debian's nodejs)")
        if not os.path.isdir(os.path.join(HERE, "node_modules", "puppeteer-core")):
            raise Unavailable("puppeteer-core is not installed in tests/page/node_modules "
                              "(scripts/install-deps.sh browser installs it)")
        self.bridge = subprocess.Popen(["node", os.path.join(HERE, "bridge.js")], cwd=HERE,
                                       stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        try:
            self.version = self.request("launch", executable=FIREFOX, width=WIDTH,
                                        height=HEIGHT)
        except BaseException:
            self.stop_bridge()
            raise

    def request(self, op, **fields):
        self.bridge.stdin.write(json.dumps(dict(fields, op=op)) + "\n")
        self.bridge.stdin.flush()
        line = self.bridge.stdout.readline()
        if not line:
            raise EngineError(f"the Firefox bridge ended during '{op}'")
        answer = json.loads(line)
        if not answer["ok"]:
            raise EngineError(f"Firefox: {op}: {answer['error']}")
        return answer["value"]

    def open(self, url):
        self.request("open", url=url)

    def reload(self):
        self.request("reload")

    def run(self, script, *args):
        return self.request("evaluate", expression="(function() {" + script + "\n}).apply(null, "
                            + json.dumps(list(args)) + ")")

    def mouse(self, action, x, y, button="left"):
        self.request("mouse", action=action, x=x, y=y, button=button)

    def key(self, action, key):
        self.request("key", action=action, key=key)

    def screenshot(self, path):
        self.request("screenshot", path=path)

    def errors(self):
        return self.request("errors")

    def stop_bridge(self):
        self.bridge.stdin.close()
        try:
            self.bridge.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.bridge.kill()
            self.bridge.wait()

    def quit(self):
        try:
            self.request("quit")
        finally:
            self.stop_bridge()


def selenium():
    try:
        from selenium import webdriver
    except ImportError:
        raise Unavailable("python3-selenium is needed") from None
    return webdriver


def start_xvfb():
    """A virtual X server on a free display; returns it and its display name."""
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0",
                               f"{WIDTH + 280}x{HEIGHT + 124}x24", "-nolisten", "tcp"],
                              pass_fds=[write], stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
    os.close(write)
    # The server writes the number, then a newline: closing the pipe before that ends it.
    number = b""
    try:
        while not number.endswith(b"\n"):
            chunk = os.read(read, 32)
            if not chunk:
                break
            number += chunk
    finally:
        os.close(read)
    if not number.strip():
        server.kill()
        server.wait()
        raise EngineError("Xvfb did not start")
    return server, ":" + number.decode().strip()


def start(name):
    return {"chromium": Chromium, "firefox": Firefox, "webkit": WebKit}[name]()
