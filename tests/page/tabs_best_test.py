#!/usr/bin/python3
"""Two tabs of the game in headless Chromium, as page_test.py drives it: the best score one
tab shows follows a higher one that another tab stores (the browser's storage event), without
a reload, and a lower or damaged one stored there changes nothing in it, nor in the storage.

Usage: tabs_best_test.py SITE tabs_best    (exit status 0 passed, 1 failed, 77 skipped)
"""

import sys

from harness import check, run_in_chromium
from page_test import AWAY, BEST_AREA, end_with_escape, second_tab_scores, stored_best

# The stored best score 0: 0 * 131072 + 0x4B1D2E73 in decimal, a zero byte, zero filler.
STORED_BEST_0 = "1260203635".encode().hex() + "00" * 6


def shown_best(page, name):
    page.grab(name)
    return page.helper("area(arguments[0], arguments[1])", name, list(BEST_AREA))


def group_tabs_best(page):
    page.open()
    page.js("localStorage.removeItem('hopla-best-score')")
    page.point(AWAY)
    page.wait_frames(3)
    best0 = shown_best(page, "best0")
    print("a second tab scores 1 and ends; the first, not reloaded, shows best score 1")
    first = second_tab_scores(page)
    page.point(AWAY)
    page.wait_frames(3)
    best1 = shown_best(page, "best1")
    check(best1 != best0, "the second tab's best score did not follow its kick")
    end_with_escape(page)  # stores best score 1
    second = page.driver.current_window_handle
    page.driver.switch_to.window(first)
    page.wait_for("the first tab does not show the best score the second stored",
                  lambda: shown_best(page, "best.first") == best1)

    print("the second tab stores best score 0, then damaged text: the first still shows 1")
    # Counted after the game's own listener, which the page added at its start.
    page.js("window.storageEvents = 0;"
            "addEventListener('storage', function() { window.storageEvents += 1; });")
    page.driver.switch_to.window(second)  # hidden, the first tab stores its best score 1
    page.js("localStorage.setItem('hopla-best-score', arguments[0])", STORED_BEST_0)
    page.js("localStorage.setItem('hopla-best-score', 'not a best score')")
    page.driver.switch_to.window(first)
    page.wait_for("the first tab did not hear of the two stores",
                  lambda: page.js("return window.storageEvents") == 2)
    page.wait_frames(3)
    check(shown_best(page, "best.kept") == best1,
          "a lower or damaged best score stored by the second tab changed the first's")
    check(stored_best(page) == "not a best score",
          f"the first tab replaced the damaged best score with {stored_best(page)!r}")


if __name__ == "__main__":
    sys.exit(run_in_chromium({"tabs_best": group_tabs_best}, __doc__))
