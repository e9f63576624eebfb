#!/usr/bin/python3
"""The web service's pages in headless Chromium, against a stand-in for the program's service.

Serves src/resources/web over HTTP on 127.0.0.1 with the WebSockets the program offers: /status
sends status messages, / and /tuio send TUIO bundles. Then checks what the pages show:
  - the status page lists the contacts, the scanners, the engine and the version it was sent;
  - tuio.js turns a run of bundles (a split frame, a late frame, a nested bundle with 64-bit
    and double arguments, broken packets, the idle bundle) into the right callbacks, and lets
    its cursors go when the connection drops and connects again.

  tests/browser/web_pages_test.py             run the checks (exit 0 passed, 1 failed, 77 skipped)
  tests/browser/web_pages_test.py --serve     only serve, to look at the pages in a browser
  tests/browser/web_pages_test.py --screenshot DIR   also save the status and example pages as png
Needs Debian's chromium and python3-websockets.
"""

import asyncio
import json
import math
import struct
import sys
import tempfile
from http import HTTPStatus
from pathlib import Path

from devtools import CHROMIUM, SKIPPED, Browser, Checks, by_id, websockets

ROOT = Path(__file__).resolve().parents[2]
WEB = ROOT / "src" / "resources" / "web"
CONTENT_TYPES = {".html": "text/html; charset=utf-8", ".js": "text/javascript; charset=utf-8"}


# --- OSC and TUIO bytes ---------------------------------------------------------------------

def osc_string(text):
    data = text.encode() + b"\0"
    return data + b"\0" * (-len(data) % 4)


KINDS = {int: "i", float: "f", str: "s"}


def osc_message(address, *args):
    tags, data = ",", b""
    for arg in args:
        kind, value = arg if isinstance(arg, tuple) else (KINDS[type(arg)], arg)
        tags += kind
        if kind == "i":
            data += struct.pack(">i", value)
        elif kind == "f":
            data += struct.pack(">f", value)
        elif kind == "s":
            data += osc_string(value)
        elif kind == "h":
            data += struct.pack(">q", value)
        elif kind == "d":
            data += struct.pack(">d", value)
    return osc_string(address) + osc_string(tags) + data


def osc_bundle(*elements):
    data = osc_string("#bundle") + struct.pack(">Q", 1)
    for element in elements:
        data += struct.pack(">i", len(element)) + element
    return data


def tuio(*args):
    return osc_message("/tuio/2Dcur", *args)


def frame(alive, sets, fseq):
    return osc_bundle(tuio("source", "scantouch@test"), tuio("alive", *alive),
                      *(tuio("set", s, x, y, xs, ys, 0.0) for s, x, y, xs, ys in sets),
                      tuio("fseq", fseq))


TUIO_RUN = [
    frame([17, 18], [(17, 0.25, 0.5, 0.0, 0.0), (18, 0.75, 0.25, 0.5, -0.5)], 1),
    frame([18], [(18, 0.8, 0.3, 0.0, 0.0)], 2),
    frame([18, 19], [(19, 0.1, 0.9, 0.0, 0.0)], 3),
    frame([], [], 2),  # late: must change nothing
    # One frame in two bundles, each with the whole alive list.
    frame([18, 19, 20], [(18, 0.81, 0.31, 0.0, 0.0)], 4),
    frame([18, 19, 20], [(19, 0.11, 0.91, 0.0, 0.0), (20, 0.5, 0.5, 0.0, 0.0)], 4),
    # A nested bundle, 64-bit ids, doubles and T/F/N arguments.
    osc_bundle(osc_bundle(tuio("alive", 18, 19, 20, ("h", 21)),
                          tuio("set", ("h", 21), ("d", 0.125), ("d", 0.875), 0.0, 0.0, 0.0,
                               ("T", None), ("F", None), ("N", None))),
               tuio("fseq", 5)),
    # Broken packets are dropped whole.
    frame([], [], 6)[:-3],
    osc_bundle(tuio("alive"), tuio("fseq", 6)) + struct.pack(">i", 400) + b"\0" * 4,
    b"",
    osc_message("/other", 1, 2.0, "x"),
    # The idle bundle lets every cursor go.
    frame([], [], -1),
    frame([30], [(30, 0.5, 0.25, 0.0, 0.0)], 7),
]

TUIO_EXPECTED = """\
add s17 c0 0.250 0.500 0.000 0.000
add s18 c1 0.750 0.250 0.500 -0.500
frame 1
remove s17 c0
update s18 c1 0.800 0.300 0.000 0.000
frame 2
add s19 c0 0.100 0.900 0.000 0.000
frame 3
update s18 c1 0.810 0.310 0.000 0.000
frame 4
update s19 c0 0.110 0.910 0.000 0.000
add s20 c2 0.500 0.500 0.000 0.000
frame 4
add s21 c3 0.125 0.875 0.000 0.000
frame 5
remove s18 c1
remove s19 c0
remove s20 c2
remove s21 c3
frame -1
add s30 c0 0.500 0.250 0.000 0.000
frame 7"""

TUIO_TEST_PAGE = """<!doctype html>
<meta charset="utf-8">
<pre id="log"></pre>
<ul id="cursors"></ul>
<script src="/tuio.js"></script>
<script>
  const log = document.getElementById("log");
  const line = (text) => { log.textContent += (log.textContent ? "\\n" : "") + text; };
  const show = (kind) => (c) => line(`${kind} s${c.sessionId} c${c.cursorId} ` +
      [c.x, c.y, c.xSpeed, c.ySpeed].map((n) => n.toFixed(3)).join(" "));
  const path = new URLSearchParams(location.search).get("ws");
  const tuio = new TuioClient({
    url: path ? `ws://${location.host}${path}` : undefined,
    onAdd: show("add"), onUpdate: show("update"),
    onRemove: (c) => line(`remove s${c.sessionId} c${c.cursorId}`),
    onFrame: (f) => {
      line(`frame ${f}`);
      document.getElementById("cursors").replaceChildren(...tuio.cursors().map((c) => {
        const item = document.createElement("li");
        item.dataset.session = c.sessionId;
        item.dataset.cursor = c.cursorId;
        return item;
      }));
    },
  });
  tuio.connect();
</script>
"""

# --- status messages ------------------------------------------------------------------------

RECT = {"left": -1000, "top": 500, "width": 2000, "height": 1200}


def wall_points(sx, sy, contacts, start, stop):
    """What a scanner at (sx, sy) sees of a room and of the fingers, a ray every half degree."""
    points = []
    for step in range(int(start * 2), int(stop * 2)):
        angle = math.radians(step / 2)
        dx, dy = math.cos(angle), math.sin(angle)
        reach = min(t for t in (
            (1250 - sx) / dx if dx > 1e-9 else math.inf,
            (-1250 - sx) / dx if dx < -1e-9 else math.inf,
            (1850 - sy) / dy if dy > 1e-9 else math.inf,
            (-100 - sy) / dy if dy < -1e-9 else math.inf))
        for cx, cy in contacts:
            # The near side of a finger 30 mm across.
            ox, oy = cx - sx, cy - sy
            along = ox * dx + oy * dy
            miss = (ox * ox + oy * oy) - along * along
            if along > 0 and miss < 15 * 15:
                reach = min(reach, along - math.sqrt(15 * 15 - miss))
        points += [round(sx + reach * dx), round(sy + reach * dy)]
    return points


def status_message(step, engine=True):
    t = step / 10
    contacts = [
        {"cursor": 0, "session": 17, "x": round(-400 + 500 * t),
         "y": round(900 + 250 * math.sin(3 * t))},
        {"cursor": 1, "session": 18, "x": round(500 - 100 * t), "y": round(1400 - 300 * t)},
    ]
    for contact in contacts:
        contact["u"] = round((contact["x"] - RECT["left"]) / RECT["width"], 4)
        contact["v"] = round((contact["y"] - RECT["top"]) / RECT["height"], 4)
    places = [(c["x"], c["y"]) for c in contacts]
    return {
        "version": "1.4.0",
        "engine": engine,
        "rect": RECT,
        "contacts": contacts if engine else [],
        "scanners": [
            {"name": "COM3", "x": 0, "y": 0, "connected": True, "turnsPerSecond": 10.02,
             "nodesPerSecond": 3204, "restarts": 0, "points": wall_points(0, 0, places, 1, 179)},
            {"name": "192.168.0.7:20108", "x": 1100, "y": 1750, "connected": False,
             "turnsPerSecond": 0, "nodesPerSecond": 0, "restarts": 2,
             "points": wall_points(1100, 1750, places, 181, 269)},
        ],
    }


STATUS_RUN = [status_message(step) for step in range(20)]

# --- the stand-in service -------------------------------------------------------------------


def page(path):
    if path == "/":
        return WEB / "index.html"
    if path in ("/status.js", "/tuio.js"):
        return WEB / path[1:]
    return None


async def answer_http(path, headers):
    if headers.get("Upgrade", "").lower() == "websocket":
        return None
    path = path.split("?")[0]
    if path == "/tuio-test.html":
        return HTTPStatus.OK, [("Content-Type", CONTENT_TYPES[".html"])], TUIO_TEST_PAGE.encode()
    if path == "/example.html":
        host = headers.get("Host")
        body = (ROOT / "docs" / "web-example.html").read_text()
        body = body.replace("http://127.0.0.1:3343/", f"http://{host}/")
        body = body.replace("ws://127.0.0.1:3343/", f"ws://{host}/tuio?hold")
        return HTTPStatus.OK, [("Content-Type", CONTENT_TYPES[".html"])], body.encode()
    file = page(path)
    if file is None:
        return HTTPStatus.NOT_FOUND, [("Content-Type", "text/plain")], b"not found\n"
    return HTTPStatus.OK, [("Content-Type", CONTENT_TYPES[file.suffix])], file.read_bytes()


DROPS = []


async def websocket(socket, path):
    if path == "/status":
        for message in STATUS_RUN:
            await socket.send(json.dumps(message))
    elif path == "/tuio?hold":
        await socket.send(frame([5, 6, 7], [(5, 0.2, 0.3, 0.0, 0.0), (6, 0.5, 0.6, 0.0, 0.0),
                                            (7, 0.8, 0.4, 0.0, 0.0)], 1))
    elif path == "/tuio?drop":
        # The first connection drops with a cursor down; the next starts its frames afresh.
        DROPS.append(path)
        session = 40 + len(DROPS)
        await socket.send(frame([session], [(session, 0.5, 0.5, 0.0, 0.0)], 3 - len(DROPS)))
        if len(DROPS) == 1:
            return
    elif path in ("/", "/tuio"):
        for bundle in TUIO_RUN:
            await socket.send(bundle)
    else:
        return
    await socket.wait_closed()


# --- the checks -----------------------------------------------------------------------------


SOLID_BLOCK = """(() => {
  const canvas = document.getElementById("view");
  const { data, width, height } = canvas.getContext("2d").getImageData(0, 0, canvas.width,
                                                                       canvas.height);
  const is = (x, y) => { const i = 4 * (y * width + x);
    return data[i] === %d && data[i + 1] === %d && data[i + 2] === %d && data[i + 3] === 255; };
  for (let y = 2; y < height - 2; ++y)
    for (let x = 2; x < width - 2; ++x) {
      let solid = true;
      for (let dy = -2; solid && dy <= 2; ++dy)
        for (let dx = -2; solid && dx <= 2; ++dx) solid = is(x + dx, y + dy);
      if (solid) return true;
    }
  return false;
})()"""


async def check_status_page(checks, browser, base, shots):
    session = await browser.load(base + "/")
    last = STATUS_RUN[-1]
    # The last message's first contact listed: everything sent has been taken.
    await browser.wait_for(session, "document.querySelector('#contacts li')?.dataset.u === "
                                    f"'{last['contacts'][0]['u']:.3f}'")
    found = await browser.dom(session)
    shown = by_id(found)
    checks.equal("connection state", shown["connection"]["attrs"].get("data-state"), "open")
    checks.equal("connection text", shown["connection"]["text"], "已连接到程序")
    contacts = [node["attrs"] for node in found if node["tag"] == "li" and
                "data-cursor" in node["attrs"]]
    checks.equal("contacts listed",
                 [(c["data-cursor"], c["data-u"], c["data-v"]) for c in contacts],
                 [(str(c["cursor"]), f"{c['u']:.3f}", f"{c['v']:.3f}") for c in last["contacts"]])
    scanners = [node for node in found if node["tag"] == "li" and "data-name" in node["attrs"]]
    checks.equal("scanners listed",
                 [(s["attrs"]["data-name"], s["attrs"]["data-connected"]) for s in scanners],
                 [("COM3", "true"), ("192.168.0.7:20108", "false")])
    checks.equal("scanner figures",
                 [n["text"] for n in found if n["attrs"].get("class") in ("state ok", "state bad",
                                                                          "figures")],
                 ["已连接", "10.0 圈/秒 · 3204 点/秒 · 重启次数 0",
                  "无数据", "0.0 圈/秒 · 0 点/秒 · 重启次数 2"])
    # Each scanner's mark, a disc in its colour, wherever it stands: COM3 stands outside the
    # rectangle's margin. Points and letters make no solid 5 x 5 block of pixels; the disc does.
    for name, colour in (("COM3", (0x15, 0x65, 0xc0)), ("192.168.0.7:20108", (0xc2, 0x18, 0x5b))):
        checks.true(f"{name} drawn where it stands",
                    await browser.wait_for(session, SOLID_BLOCK % colour, 3))
    checks.equal("engine", shown["engine"]["text"], "触控引擎：运行中")
    checks.equal("version", shown["version"]["text"], "1.4.0")
    if shots:
        await asyncio.sleep(0.3)
        await browser.screenshot(session, shots / "status.png")


async def check_tuio(checks, browser, base):
    session = await browser.load(base + "/tuio-test.html")
    await browser.wait_for(session, "document.getElementById('log').textContent.endsWith("
                                    "'frame 7')")
    found = await browser.dom(session)
    log = next(node for node in found if node["attrs"].get("id") == "log")["text"]
    checks.equal("tuio.js callbacks", log, TUIO_EXPECTED)
    cursors = [(n["attrs"]["data-session"], n["attrs"]["data-cursor"]) for n in found
               if n["tag"] == "li" and "data-session" in n["attrs"]]
    checks.equal("tuio.js cursors()", cursors, [("30", "0")])

    session = await browser.load(base + "/tuio-test.html?ws=/tuio%3Fdrop")
    await browser.wait_for(session, "document.getElementById('log').textContent.includes("
                                    "'add s42')")
    found = await browser.dom(session)
    log = next(node for node in found if node["attrs"].get("id") == "log")["text"]
    checks.equal("tuio.js reconnecting", log, "add s41 c0 0.500 0.500 0.000 0.000\nframe 2\n"
                 "remove s41 c0\nadd s42 c0 0.500 0.500 0.000 0.000\nframe 1")


async def run(shots):
    server = await websockets.serve(websocket, "127.0.0.1", 0, process_request=answer_http,
                                    compression=None)
    base = f"http://127.0.0.1:{server.sockets[0].getsockname()[1]}"
    if shots is None and "--serve" in sys.argv:
        print(f"serving {base}/  {base}/tuio-test.html  {base}/example.html")
        await asyncio.Future()
    if CHROMIUM is None:
        print("skipped: chromium is not installed")
        return SKIPPED
    checks = Checks()
    with tempfile.TemporaryDirectory() as profile:
        browser = Browser(profile)
        try:
            await browser.open()
            await check_status_page(checks, browser, base, shots)
            await check_tuio(checks, browser, base)
            if shots:
                session = await browser.load(base + "/example.html")
                await asyncio.sleep(1)
                await browser.screenshot(session, shots / "example.png")
                print(f"saved {shots}/status.png, {shots}/example.png")
        finally:
            await browser.close()
    server.close()
    return 1 if checks.failed else 0


def main():
    shots = None
    if "--screenshot" in sys.argv:
        shots = Path(sys.argv[sys.argv.index("--screenshot") + 1])
    return asyncio.run(run(shots))


if __name__ == "__main__":
    sys.exit(main())
