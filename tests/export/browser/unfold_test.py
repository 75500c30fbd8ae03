#!/usr/bin/env python3
"""Opens an exported trading list in headless Chromium, clicks an item's name
link and checks that the item's characteristics unfold, then fold again on a
second click. Drives the browser through the DevTools protocol over
--remote-debugging-pipe (file descriptors 3 and 4), with only the standard
library. Exit 0 pass, 1 fail, 77 skipped (no Chromium).

usage: unfold_test.py MAKE_PAGE   (MAKE_PAGE writes the page to its argument)
"""
import fcntl
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77
CHROMIUM_FLAGS = [
    "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--disable-dev-shm-usage", "--remote-debugging-pipe",
]


class Browser:
    """One Chromium process and the DevTools session of its page."""

    def __init__(self, chromium, profile, url):
        to_browser_r, to_browser_w = os.pipe()
        from_browser_r, from_browser_w = os.pipe()
        # Copies of the child's ends above 4, so that placing them on 3 and 4
        # cannot overwrite one with the other.
        child_in = fcntl.fcntl(to_browser_r, fcntl.F_DUPFD_CLOEXEC, 10)
        child_out = fcntl.fcntl(from_browser_w, fcntl.F_DUPFD_CLOEXEC, 10)

        def place_pipes():
            os.dup2(child_in, 3)
            os.dup2(child_out, 4)

        self.proc = subprocess.Popen(
            [chromium, *CHROMIUM_FLAGS, "--user-data-dir=" + profile, url],
            preexec_fn=place_pipes, close_fds=False,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for fd in {to_browser_r, from_browser_w, child_in, child_out}:
            os.close(fd)
        self.send_fd = to_browser_w
        self.recv = os.fdopen(from_browser_r, "rb", buffering=0)
        self.buffer = b""
        self.next_id = 0
        self.session = None

    def _read_message(self, deadline):
        while b"\0" not in self.buffer:
            if time.time() > deadline:
                raise TimeoutError("no answer from Chromium")
            chunk = self.recv.read(65536)
            if not chunk:
                raise RuntimeError("Chromium closed the DevTools pipe")
            self.buffer += chunk
        message, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(message)

    def call(self, method, params=None, session=True, timeout=20):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session and self.session:
            message["sessionId"] = self.session
        os.write(self.send_fd, json.dumps(message).encode() + b"\0")
        deadline = time.time() + timeout
        while True:
            answer = self._read_message(deadline)
            if answer.get("id") == self.next_id:
                if "error" in answer:
                    raise RuntimeError(f"{method}: {answer['error']}")
                return answer["result"]

    def attach_to_page(self, timeout=20):
        deadline = time.time() + timeout
        while time.time() < deadline:
            pages = [t for t in self.call("Target.getTargets", session=False)["targetInfos"]
                     if t["type"] == "page"]
            if pages:
                self.session = self.call("Target.attachToTarget",
                                         {"targetId": pages[0]["targetId"], "flatten": True},
                                         session=False)["sessionId"]
                return
            time.sleep(0.1)
        raise TimeoutError("Chromium opened no page")

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", {"expression": expression, "returnByValue": True})
        if "exceptionDetails" in result:
            raise RuntimeError(f"script failed: {result['exceptionDetails']}")
        return result["result"].get("value")

    def wait_for(self, expression, timeout=10):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if self.evaluate(expression):
                return True
            time.sleep(0.05)
        return False

    def click(self, x, y):
        for kind in ("mousePressed", "mouseReleased"):
            self.call("Input.dispatchMouseEvent",
                      {"type": kind, "x": x, "y": y, "button": "left", "clickCount": 1})

    def close(self):
        try:
            self.call("Browser.close", session=False, timeout=5)
        except Exception:
            pass
        try:
            self.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()


BLOCK_STATE = """(() => {
  const block = document.getElementById('%s');
  return {display: getComputedStyle(block).display,
          height: block.getBoundingClientRect().height,
          text: block.innerText};
})()"""

LINK_CENTRE = """(() => {
  const link = document.querySelector('a[href="javascript:bascule(%s)"]');
  link.scrollIntoView();
  const r = link.getBoundingClientRect();
  return [r.left + r.width / 2, r.top + r.height / 2];
})()"""


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def run(make_page, chromium):
    with tempfile.TemporaryDirectory(prefix="kistora-browser-") as scratch:
        page = os.path.join(scratch, "liste.html")
        subprocess.run([make_page, page], check=True)
        profile = os.path.join(scratch, "profile")
        browser = Browser(chromium, profile, "file://" + page)
        try:
            browser.attach_to_page()
            browser.call("Runtime.enable")
            check(browser.wait_for("document.readyState === 'complete' && !!document.getElementById('i1')"),
                  "the page did not load")
            check(browser.evaluate("typeof bascule") == "function", "the unfolding script is missing")

            hidden = browser.evaluate(BLOCK_STATE % "i1")
            check(hidden["display"] == "none" and hidden["height"] == 0,
                  f"the characteristics are visible before any click: {hidden}")

            x, y = browser.evaluate(LINK_CENTRE % "i1")
            browser.click(x, y)
            check(browser.wait_for("getComputedStyle(document.getElementById('i1')).display !== 'none'"),
                  "a click on the name did not unfold the characteristics")
            shown = browser.evaluate(BLOCK_STATE % "i1")
            check(shown["height"] > 0, f"the unfolded block has no height: {shown}")
            check(re.search(r"Dommages: 5 . 12", shown["text"]) and "Vol de vie 5%" in shown["text"],
                  f"the unfolded block does not show the item's characteristics: {shown['text']!r}")
            check(browser.evaluate(BLOCK_STATE % "i2")["display"] == "none",
                  "another item's block unfolded too")

            x, y = browser.evaluate(LINK_CENTRE % "i1")
            browser.click(x, y)
            check(browser.wait_for("getComputedStyle(document.getElementById('i1')).display === 'none'"),
                  "a second click did not fold the characteristics again")
            check(browser.evaluate(BLOCK_STATE % "i1")["height"] == 0, "the folded block still takes room")
        finally:
            browser.close()


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 64
    wanted = os.environ.get("KISTORA_CHROMIUM")
    chromium = shutil.which(wanted) if wanted else (shutil.which("chromium") or shutil.which("chromium-browser"))
    if not chromium:
        print("SKIPPED: Chromium is not installed (apt-get install chromium); the unfolding script was not "
              "checked in a browser", file=sys.stderr)
        return SKIP
    try:
        run(sys.argv[1], chromium)
    except (AssertionError, RuntimeError, TimeoutError, subprocess.CalledProcessError) as failure:
        print(f"FAILED: {failure}", file=sys.stderr)
        return 1
    print("the name link unfolds and folds the item's characteristics in Chromium")
    return 0


if __name__ == "__main__":
    sys.exit(main())
