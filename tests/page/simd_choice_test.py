#!/usr/bin/python3
"""The page picks its build by what the browser runs: headless Chromium loads the SIMD128
build, and the same browser told its processor lacks SSE4.1 (so that its WebAssembly has no
SIMD128, as on such processors) loads the build without it, which plays. The service worker
keeps for offline play the build the page loaded, and only that one.

Usage: simd_choice_test.py SITE    (exit status 0 passed, 1 failed, 77 skipped)
"""

import os
import shutil
import sys
import time
import urllib.parse

from harness import PATIENCE, SiteServer, chromium_missing


def wasm_names(urls):
    return sorted(os.path.basename(urllib.parse.urlparse(url).path) for url in urls
                  if urllib.parse.urlparse(url).path.endswith(".wasm"))


def wasm_loaded_and_playing(url, js_flags):
    """The wasm files the page loaded, once the picture has changed between two looks, and
    those its service worker keeps; or the reason it never played."""
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    options = webdriver.ChromeOptions()
    options.add_argument("--headless=new")
    if js_flags:
        options.add_argument(f"--js-flags={js_flags}")
    if os.geteuid() == 0:
        options.add_argument("--no-sandbox")
    driver = webdriver.Chrome(service=Service(shutil.which("chromedriver")), options=options)
    try:
        driver.get(url)
        # The ball falls from the first frame on: the picture keeps changing.
        look = ("var c = document.getElementById('canvas');"
                "var d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;"
                "var sum = 0; for (var i = 0; i < d.length; i += 4) sum = (sum * 31 + d[i]) | 0;"
                "return sum;")
        limit = time.monotonic() + PATIENCE
        seen = {driver.execute_script(look)}
        while len(seen) < 3:
            seen.add(driver.execute_script(look))
            message = driver.execute_script("var m = document.getElementById('message');"
                                            "return m.hidden ? '' : m.textContent;")
            if message or time.monotonic() > limit:
                return None, None, message or "the picture never changed"
            time.sleep(0.1)
        loaded = driver.execute_script(
            "return performance.getEntriesByType('resource').map(e => e.name)")
        driver.set_script_timeout(PATIENCE)
        kept = driver.execute_async_script(
            "var done = arguments[arguments.length - 1];"
            "navigator.serviceWorker.ready.then(() => caches.keys())"
            ".then(names => Promise.all(names.map(n => caches.open(n).then(c => c.keys()))))"
            ".then(lists => done([].concat(...lists).map(request => request.url)));")
        return wasm_names(loaded), wasm_names(kept), ""
    finally:
        driver.quit()


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    site = sys.argv[1]
    missing = chromium_missing(site, "hopla-nosimd.wasm")
    if missing:
        print(missing[1])
        return missing[0]

    server = SiteServer(site)
    url = f"http://127.0.0.1:{server.port}/"
    failed = False
    try:
        for js_flags, expected in (("", ["hopla.wasm"]),
                                   ("--no-enable-sse4-1", ["hopla-nosimd.wasm"])):
            loaded, kept, why = wasm_loaded_and_playing(url, js_flags)
            what = f"with --js-flags={js_flags}" if js_flags else "as it comes"
            if loaded != expected:
                print(f"FAILED: Chromium {what} loaded {loaded} ({why}), not {expected}")
                failed = True
            elif kept != expected:
                print(f"FAILED: Chromium {what} keeps {kept} for offline play, not {expected}")
                failed = True
            else:
                print(f"Chromium {what} plays with {loaded[0]}")
    finally:
        server.stop()
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
