#!/usr/bin/python3
"""What a frame of the web page costs the browser's main thread, beside the native frame.

Usage: page_bench.py SITE GRAPHICS_BENCH [--seconds S] [--profile N]

Runs GRAPHICS_BENCH (bench/graphics, best from a Release build) for updateAndDrawInPlay, then
opens the page in SITE (build-web/site) in headless Chromium, points into the box and lets the
ball come to rest. Over S seconds (default 5) it reads the DevTools Performance metrics
ScriptDuration and TaskDuration and divides them by the animation frames that a
requestAnimationFrame counter of its own saw; once as the browser runs, once with the CPU
slowed down 6 times (the DevTools setting for a low-end phone). Beside them: the CPU time the
page's main thread ran per frame (from /proc: unlike the task time, not stretched while a busy
machine keeps the thread waiting), and the same figures for a blank page that only asks for
every animation frame: what the browser spends whatever the page does. --profile N also prints
the N functions with the most time of their own, from the DevTools profiler (wasm functions
carry names only in a build linked with --profiling-funcs).

It prints and asserts nothing: exit status 0 measured, 1 failed, 77 skipped (no browser).
"""

import argparse
import collections
import http.server
import json
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests",
                                "page"))
import harness  # noqa: E402  (the page tests' browser and server)

AWAY = (420, 300)  # client pixels of the 640 x 480 frame: in the box, far from the ball
BLANK = "bench-blank.html"  # served beside the site

# Counts animation frames from the page's first script on.
FRAME_COUNTER = """
window.benchFrames = 0;
(function count() { window.benchFrames += 1; requestAnimationFrame(count); })();
"""


def native_frame(graphics_bench):
    """The median of updateAndDrawInPlay, in milliseconds."""
    out = subprocess.run([graphics_bench, "--benchmark_filter=^updateAndDrawInPlay/",
                          "--benchmark_format=json"], check=True, capture_output=True, text=True)
    for row in json.loads(out.stdout)["benchmarks"]:
        if row.get("aggregate_name") == "median":
            if row["time_unit"] != "ms":
                raise RuntimeError(f"graphics_bench reports in {row['time_unit']}")
            return row["real_time"]
    raise RuntimeError("graphics_bench reported no median")


def descendants(pid):
    children = collections.defaultdict(list)
    for entry in os.listdir("/proc"):
        try:
            with open(f"/proc/{entry}/stat") as stat:
                children[int(stat.read().rsplit(")", 1)[1].split()[1])].append(int(entry))
        except (OSError, ValueError, IndexError):
            pass
    found, todo = [], [pid]
    while todo:
        found += children[todo[-1]]
        todo += children[todo.pop()]
    return found


def renderer_cpu(driver_pid):
    """Seconds the main threads of this browser's page processes have run: unlike the task
    time, not stretched while a busy machine keeps them waiting."""
    total = 0
    for pid in descendants(driver_pid):
        try:
            with open(f"/proc/{pid}/cmdline") as cmdline:
                if "--type=renderer" not in cmdline.read():
                    continue
            with open(f"/proc/{pid}/task/{pid}/schedstat") as schedstat:
                total += int(schedstat.read().split()[0]) / 1e9
        except OSError:
            pass
    return total


class Browser:
    def __init__(self, driver):
        self.driver = driver

    def cdp(self, command, arguments=None):
        return self.driver.execute_cdp_cmd(command, arguments or {})

    def js(self, script):
        return self.driver.execute_script(script)

    def wait_for(self, what, test, seconds=60):
        limit = time.monotonic() + seconds
        while not test():
            if time.monotonic() > limit:
                raise RuntimeError(what)
            time.sleep(0.05)

    def metrics(self):
        values = {m["name"]: m["value"] for m in self.cdp("Performance.getMetrics")["metrics"]}
        return (values["ScriptDuration"], values["TaskDuration"],
                renderer_cpu(self.driver.service.process.pid), self.js("return benchFrames"))

    def per_frame(self, seconds):
        """Script, task and main-thread CPU milliseconds per animation frame over the next
        seconds, and the frames."""
        before = self.metrics()
        time.sleep(seconds)
        after = self.metrics()
        frames = max(1, after[3] - before[3])
        return [1000 * (a - b) / frames for a, b in zip(after[:3], before[:3])] + [frames]

    def profile(self, seconds, count):
        self.cdp("Profiler.enable")
        self.cdp("Profiler.setSamplingInterval", {"interval": 100})
        self.cdp("Profiler.start")
        time.sleep(seconds)
        nodes = self.cdp("Profiler.stop")["profile"]
        self.cdp("Profiler.disable")
        names = {n["id"]: n["callFrame"]["functionName"] or "(anonymous)" for n in nodes["nodes"]}
        own = collections.Counter()
        for node, delta in zip(nodes["samples"], nodes["timeDeltas"]):
            own[names[node]] += delta
        total = sum(own.values()) or 1
        print(f"profile over {seconds:g} s, time of their own:")
        for name, micros in own.most_common(count):
            print(f"  {100 * micros / total:5.1f}%  {name}")


class SiteHandler(http.server.SimpleHTTPRequestHandler):
    """The site's files, and the blank page."""

    def do_GET(self):
        if self.path != "/" + BLANK:
            return super().do_GET()
        body = b"<!DOCTYPE html><title>blank</title><canvas width=440 height=400></canvas>"
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def start_browser():
    return Browser(harness.start_chromium("--autoplay-policy=no-user-gesture-required"))


def rates(browser, seconds, label):
    """Prints the figures as the browser runs and with the CPU 6 times slower; returns the
    script time per frame as the browser runs."""
    figures = []
    for rate in (1, 6):
        browser.cdp("Emulation.setCPUThrottlingRate", {"rate": rate})
        time.sleep(1)
        script, task, cpu, frames = browser.per_frame(seconds)
        figures.append(script)
        if rate == 1:
            name, extra = label, f"  main thread's CPU {cpu:6.3f}"
        else:  # slowed down, the thread's CPU time counts the slowing itself
            name, extra = f"{label}, CPU 6x slower", ""
        print(f"{name:34} script {script:6.3f}  task {task:6.3f}{extra} ms a frame "
              f"({frames} frames in {seconds:g} s)")
    browser.cdp("Emulation.setCPUThrottlingRate", {"rate": 1})
    return figures[0]


def measure_page(browser, url, seconds, profile):
    browser.cdp("Page.addScriptToEvaluateOnNewDocument", {"source": FRAME_COUNTER})
    browser.cdp("Performance.enable")
    browser.driver.get(url)
    browser.wait_for("the game did not start",
                     lambda: browser.js("return !!(window.Module && Module.calledRun)"))
    box = browser.js("var b = document.getElementById('canvas').getBoundingClientRect();"
                     "return [b.left, b.top, b.width, b.height];")
    browser.cdp("Input.dispatchMouseEvent", {
        "type": "mouseMoved", "x": box[0] + (AWAY[0] - 100) * box[2] / 440,
        "y": box[1] + (AWAY[1] - 40) * box[3] / 400})
    # The ball lies on the floor some 200 frames after the start.
    start = browser.js("return benchFrames")
    browser.wait_for("the page draws no frames",
                     lambda: browser.js("return benchFrames") > start + 300)
    if profile:
        browser.profile(seconds, profile)
    script = rates(browser, seconds, "page, ball at rest")
    # What the browser spends on a page that does nothing but count its frames.
    browser.driver.get(url + BLANK)
    rates(browser, seconds, "blank page")
    return script


def main():
    parser = argparse.ArgumentParser(usage=__doc__.split("\n\n")[1])
    parser.add_argument("site")
    parser.add_argument("graphics_bench")
    parser.add_argument("--seconds", type=float, default=5)
    parser.add_argument("--profile", type=int, default=0)
    args = parser.parse_args()
    missing = harness.chromium_missing(args.site, "hopla.wasm")
    if missing:
        print(missing[1])
        return missing[0]

    native = native_frame(args.graphics_bench)
    print(f"{'native updateAndDrawInPlay':34} {native:6.3f} ms a frame (median of 5)")
    server = harness.SiteServer(args.site, SiteHandler)  # the page as published, no probes
    browser = start_browser()
    try:
        script = measure_page(browser, f"http://127.0.0.1:{server.port}/", args.seconds,
                              args.profile)
        print(f"page script / native frame: {script / native:.2f}")
    finally:
        browser.driver.quit()
        server.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
