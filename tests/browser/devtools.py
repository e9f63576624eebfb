"""Headless Chromium driven over its DevTools WebSocket, for the tests of the web pages.

Pages are read once they show what was sent, not at a fixed moment: WebSocket messages race any
fixed wait (and --dump-dom with virtual time did not wait for them reliably).
Needs Debian's chromium and python3-websockets; SKIPPED (77) is the exit code for their absence.
"""

import asyncio
import base64
import json
import os
import shutil
import signal
import subprocess
import sys
import threading
import time
from html.parser import HTMLParser

SKIPPED = 77

try:
    import websockets
except ImportError:
    print("skipped: python3-websockets is not installed")
    sys.exit(SKIPPED)

CHROMIUM = shutil.which("chromium") or shutil.which("chromium-browser")


class Browser:
    """One headless Chromium with a profile in `profile`, a folder the caller owns and removes."""

    def __init__(self, profile, size=(1000, 700)):
        self.process = subprocess.Popen(
            [CHROMIUM, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
             "--remote-debugging-address=127.0.0.1", "--remote-debugging-port=0",
             f"--user-data-dir={profile}", f"--window-size={size[0]},{size[1]}", "about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True,
            # A group of its own: its helper processes go with it (see close()).
            start_new_session=True)
        for line in self.process.stderr:
            if line.startswith("DevTools listening on "):
                self.endpoint = line.split()[-1]
                break
        else:
            raise RuntimeError("chromium did not start")
        # What it reports later is read and dropped, so that it never waits for room to write.
        threading.Thread(target=self.process.stderr.read, daemon=True).start()
        self.size = size
        self.next_id = 0
        self.socket = None

    async def open(self):
        self.socket = await websockets.connect(self.endpoint, max_size=None)

    async def command(self, method, session=None, **params):
        self.next_id += 1
        request = {"id": self.next_id, "method": method, "params": params}
        if session:
            request["sessionId"] = session
        await self.socket.send(json.dumps(request))
        while True:
            answer = json.loads(await self.socket.recv())
            if answer.get("id") == self.next_id:
                if "error" in answer:
                    raise RuntimeError(f"{method}: {answer['error']}")
                return answer["result"]

    async def load(self, url):
        """Opens `url` in a new tab the size asked for (the window's is not the page's); the
        answer is the session the other commands take."""
        target = (await self.command("Target.createTarget", url=url))["targetId"]
        session = (await self.command("Target.attachToTarget", targetId=target,
                                      flatten=True))["sessionId"]
        await self.command("Emulation.setDeviceMetricsOverride", session, width=self.size[0],
                           height=self.size[1], deviceScaleFactor=1, mobile=False)
        return session

    async def evaluate(self, session, expression):
        result = await self.command("Runtime.evaluate", session, expression=expression,
                                    returnByValue=True)
        return result["result"].get("value")

    async def wait_for(self, session, expression, seconds=10):
        """Polls until `expression` is true in the page; false when `seconds` went by first."""
        for _ in range(int(seconds * 20)):
            if await self.evaluate(session, expression):
                return True
            await asyncio.sleep(0.05)
        return False

    async def dom(self, session):
        return parse_html(await self.evaluate(session, "document.documentElement.outerHTML"))

    async def screenshot(self, session, file):
        data = (await self.command("Page.captureScreenshot", session))["data"]
        file.write_bytes(base64.b64decode(data))

    async def close(self):
        if self.socket:
            await self.socket.close()
        # Every process of the browser ends before the caller removes the profile: a helper still
        # writing into it would make that fail.
        group = self.process.pid
        os.killpg(group, signal.SIGTERM)
        self.process.wait(10)
        deadline = time.monotonic() + 5
        while time.monotonic() < deadline:
            try:
                os.killpg(group, 0)
            except ProcessLookupError:
                return
            time.sleep(0.05)
        try:
            os.killpg(group, signal.SIGKILL)
        except ProcessLookupError:
            pass
        time.sleep(0.2)


def parse_html(text):
    """Every element as {tag, attrs, text}, text being all the text inside it."""

    class Elements(HTMLParser):
        def __init__(self):
            super().__init__()
            self.found, self.open = [], []

        def handle_starttag(self, tag, attrs):
            node = {"tag": tag, "attrs": dict(attrs), "text": ""}
            self.found.append(node)
            if tag not in ("meta", "link", "br", "img", "input"):
                self.open.append(node)

        def handle_endtag(self, tag):
            while self.open and self.open.pop()["tag"] != tag:
                pass

        def handle_data(self, data):
            for node in self.open:
                node["text"] += data

    parser = Elements()
    parser.feed(text)
    return parser.found


def by_id(found):
    return {node["attrs"]["id"]: node for node in found if "id" in node["attrs"]}


class Checks:
    """Checks that report each outcome and carry on, so one run shows every fault."""

    def __init__(self):
        self.failed = 0

    def equal(self, what, seen, expected):
        self.true(what, seen == expected, f"\n  seen     {seen!r}\n  expected {expected!r}")

    def true(self, what, passed, detail=""):
        if passed:
            print(f"ok     {what}")
        else:
            self.failed += 1
            print(f"FAILED {what}:{detail}")
