#!/usr/bin/python3
"""The status page of the whole program in headless Chromium.

Installs scantouch in a temporary folder with its web service on 127.0.0.1 and the mouse left
alone (鼠标模式=2), runs it on a private X server against the simulator with a hand moving in the
touch rectangle, opens its status page and checks, against what the program sends on /status at
the same time, that the page
  - is connected and lists the contacts the program saw, each where the simulated hand was;
  - lists the scanner as connected and turning, and shows the engine running;
  - shows the version `scantouch --version` prints.

  tests/browser/status_page_program_test.py [--program SCANTOUCH] [--sim SCANNER_SIM]
                                            [--screenshot [PNG]]
Exit 0 passed, 1 failed, 77 skipped (no chromium or python3-websockets).
"""

import argparse
import asyncio
import json
import math
import os
import re
import socket
import subprocess
import sys
import tempfile
import time
from pathlib import Path

from devtools import CHROMIUM, SKIPPED, Browser, Checks, by_id, websockets

ROOT = Path(__file__).resolve().parents[2]
DEADLINE_S = 35

# The installation: a scanner at 7500,7500 below a 5000 x 3000 touch rectangle at 5000,2000.
SCANNER = (7500, 7500)
RECT = {"left": 5000, "top": 2000, "width": 5000, "height": 3000}
# The simulated hand, 100 mm across, moving to and fro between straight ahead of the scanner at
# 4 m and 30 degrees to its right at 3.5 m, once in 6 s (about 0.7 m/s): well inside the rectangle.
HAND_FROM = (0, 4000)
HAND_TO = (30, 3500)
# A room with a wall 300 mm beyond the rectangle's far edge, others 400 mm beside its sides and
# one 600 mm behind the scanner: walls the page shows around the rectangle, none inside it.
ROOM = {"ahead": 5800, "aside": 3100, "behind": 600}


def room_distances():
    """The room as the simulator takes it: the distance to the wall at every whole degree,
    clockwise from straight ahead."""
    distances = []
    for degree in range(360):
        a = math.radians(degree)
        across, ahead = math.sin(a), math.cos(a)
        reach = min(t for t in (
            ROOM["ahead"] / ahead if ahead > 1e-9 else math.inf,
            ROOM["behind"] / -ahead if ahead < -1e-9 else math.inf,
            ROOM["aside"] / abs(across) if abs(across) > 1e-9 else math.inf))
        distances.append(str(round(reach)))
    return ",".join(distances)


SIMULATOR = ["--room", room_distances(),
             "--object", "{},{},100,{},{},6".format(*HAND_FROM, *HAND_TO)]
# How far a contact may lie from the hand's path: the engine sees the hand's near side, not its
# centre, and a frame may be a turn behind.
HAND_TOLERANCE_MM = 150
# A contact on the page is one the program sent within this many seconds.
RECENT_S = 3


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def write_gbk_ini(file, sections):
    lines = []
    for section, keys in sections.items():
        lines.append(f"[{section}]")
        lines += [f"{key}={value}" for key, value in keys]
    file.write_bytes("".join(line + "\r\n" for line in lines).encode("gbk"))


def install(folder, program, scanner_port, web_port):
    """The program beside its two settings files, as an installation has it."""
    folder.mkdir()
    (folder / "scantouch").write_bytes(Path(program).read_bytes())
    (folder / "scantouch").chmod(0o755)
    write_gbk_ini(folder / "配置.ini", {"网络参数": [
        ("TxtTcpIp0", "127.0.0.1"), ("TxtTcpPost0", scanner_port), ("TxtTcp通道名称0", "模拟雷达")]})
    write_gbk_ini(folder / "系统配置.ini", {
        "参数设置": [("雷达位置", "{},{}".format(*SCANNER)),
                 ("标定左上角", "{},{}".format(RECT["left"], RECT["top"])),
                 ("标定右下角", "{},{}".format(RECT["width"], RECT["height"])),
                 ("屏幕宽高", "1000,600"), ("屏幕左上角", "0,0"), ("灵敏度", "2"), ("角度校正", "0")],
        "动作设置": [("鼠标移动", "1"), ("鼠标点击", "0"), ("开机自动隐藏", "0")],
        "触控引擎": [("鼠标模式", "2"), ("网页服务", f"127.0.0.1:{web_port}")],
    })


def view_place(angle, distance):
    """Where the simulator's polar place (degrees clockwise from straight ahead, mm) lies in view
    units: straight ahead of the scanner is up, towards the rectangle."""
    a = math.radians(angle)
    return SCANNER[0] + distance * math.sin(a), SCANNER[1] - distance * math.cos(a)


def distance_to_hand_path(x, y):
    (ax, ay), (bx, by) = view_place(*HAND_FROM), view_place(*HAND_TO)
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy))


class Processes:
    """What the test started, ended by their ids at the end whatever happened."""

    def __init__(self):
        self.started = []

    async def start(self, *command, **options):
        process = await asyncio.create_subprocess_exec(*command, **options)
        self.started.append(process)
        return process

    async def end_all(self):
        for process in reversed(self.started):
            if process.returncode is None:
                process.terminate()
                try:
                    await asyncio.wait_for(process.wait(), 10)
                except asyncio.TimeoutError:
                    process.kill()
                    await process.wait()


async def read_line(stream, seconds):
    return (await asyncio.wait_for(stream.readline(), seconds)).decode().strip()


class StatusListener:
    """The program's /status messages as a plain client receives them, each with its arrival."""

    def __init__(self):
        self.messages = []

    async def run(self, url):
        for _ in range(100):  # the program opens its service soon after its start
            try:
                client = await websockets.connect(url, max_size=None)
                break
            except OSError:
                await asyncio.sleep(0.1)
        else:
            raise RuntimeError(f"nothing listens at {url}")
        try:
            async for text in client:
                self.messages.append((time.monotonic(), json.loads(text)))
        except websockets.ConnectionClosed:
            pass  # the program ended: what it sent is what counts
        finally:
            await client.close()

    def recent(self):
        now = time.monotonic()
        return [message for arrived, message in self.messages if now - arrived <= RECENT_S]


CONNECTED = "document.getElementById('connection').dataset.state === 'open'"
# A contact and the scanner turning: the turns are counted once a second, the first a second or
# so after the first contact.
SHOWN = ("document.querySelectorAll('#contacts > li').length > 0 && "
         "document.querySelector('#scanners > li')?.dataset.connected === 'true'")


def check_contacts(checks, found, recent):
    shown = [node["attrs"] for node in found
             if node["tag"] == "li" and "data-cursor" in node["attrs"]]
    checks.true("contacts shown", len(shown) > 0)
    for contact in shown:
        u, v = float(contact["data-u"]), float(contact["data-v"])
        # The page shows u and v to three places: the same contact as the program sent.
        sent = [c for m in recent for c in m["contacts"]
                if str(c["cursor"]) == contact["data-cursor"] and
                abs(c["u"] - u) <= 0.0005 + 1e-9 and abs(c["v"] - v) <= 0.0005 + 1e-9]
        checks.true(f"contact #{contact['data-cursor']} u {u} v {v} was sent on /status",
                    bool(sent), f" last sent {recent[-1]['contacts'] if recent else None}")
        x = RECT["left"] + u * RECT["width"]
        y = RECT["top"] + v * RECT["height"]
        off = distance_to_hand_path(x, y)
        checks.true(f"contact #{contact['data-cursor']} on the hand's path",
                    off <= HAND_TOLERANCE_MM, f" {off:.0f} mm from it")
    # The program's own u, v are its x, y in the rectangle.
    sent = [c for m in recent for c in m["contacts"]]
    if sent:
        c = sent[-1]
        checks.true("/status u, v are x, y in the rectangle",
                    abs(c["u"] - (c["x"] - RECT["left"]) / RECT["width"]) < 0.001 and
                    abs(c["v"] - (c["y"] - RECT["top"]) / RECT["height"]) < 0.001, f" {c}")


def check_scanner(checks, found, recent):
    rows = [node for node in found if node["tag"] == "li" and "data-name" in node["attrs"]]
    checks.equal("scanners listed", [(r["attrs"]["data-name"], r["attrs"]["data-connected"])
                                     for r in rows],
                 [(s["name"], "true") for s in recent[-1]["scanners"]] if recent else [])
    states = [n["text"] for n in found if n["attrs"].get("class") in ("state ok", "state bad")]
    checks.equal("scanner state", states, ["已连接"])
    figures = [n["text"] for n in found if n["attrs"].get("class") == "figures"]
    turns = re.match(r"([0-9.]+) 圈/秒 · ([0-9]+) 点/秒", figures[0]) if figures else None
    checks.true("scanner turning", turns is not None and float(turns.group(1)) > 0 and
                int(turns.group(2)) > 0, f" {figures}")
    # The figures are those of a message the program sent.
    sent = {(f"{s['turnsPerSecond']:.1f}", str(s["nodesPerSecond"])) for m in recent
            for s in m["scanners"][:1]}
    checks.true("scanner figures sent on /status", turns is not None and turns.groups() in sent,
                f" {figures} of {sorted(sent)}")


# Each contact on a line of its own, its place in millimetres not broken off.
ONE_LINE_EACH = """[...document.querySelectorAll("#contacts > li")].every((item) =>
  item.getBoundingClientRect().height < 1.5 * parseFloat(getComputedStyle(item).lineHeight))"""


async def check_page(checks, browser, base, listener, program, shot):
    session = await browser.load(base + "/")
    connected = await browser.wait_for(session, CONNECTED, 10)
    checks.true("page connected to the program", connected)
    shown = await browser.wait_for(session, SHOWN, 20)
    checks.true("a contact and a turning scanner shown within 20 s", shown)
    found = await browser.dom(session)
    recent = listener.recent()
    checks.true("status messages received", bool(recent))
    check_contacts(checks, found, recent)
    checks.true("a line a contact", await browser.evaluate(session, ONE_LINE_EACH))
    check_scanner(checks, found, recent)
    ids = by_id(found)
    checks.equal("engine", ids["engine"]["text"], "触控引擎：运行中")
    version = subprocess.run([program, "--version"], capture_output=True, text=True,
                             timeout=5).stdout.split()
    checks.equal("version", ids["version"]["text"], version[-1] if version else None)
    if shot:
        # With the hand on the page and a trail behind it.
        await asyncio.sleep(1.5)
        await browser.wait_for(session, SHOWN, 6)
        await browser.screenshot(session, shot)
        print(f"saved {shot}")
    return session


async def check_end(checks, browser, session, program):
    """The program closes as at log-out with the page and a listener connected, and the page
    says so."""
    program.terminate()
    try:
        code = await asyncio.wait_for(program.wait(), 10)
        checks.equal("program ends when asked, listeners connected", code, 0)
    except asyncio.TimeoutError:
        checks.true("program ends when asked, listeners connected", False, " still running")
    closed = await browser.wait_for(
        session, "document.getElementById('connection').dataset.state === 'closed'", 5)
    checks.true("page shows the connection lost", closed)


async def run(options, checks):
    processes = Processes()
    background = []  # tasks reading from what was started
    listening = None
    with tempfile.TemporaryDirectory(prefix="scantouch-status-page-") as temp:
        temp = Path(temp)
        scanner_port, web_port = free_port(), free_port()
        install(temp / "program", options.program, scanner_port, web_port)
        runtime = temp / "runtime"
        runtime.mkdir(mode=0o700)
        try:
            sim = await processes.start(options.sim, "--tcp", str(scanner_port), *SIMULATOR,
                                        stdout=asyncio.subprocess.PIPE)
            while (await read_line(sim.stdout, 5)) != "ready":
                if sim.stdout.at_eof():
                    raise RuntimeError("the simulator ended before it was ready")
            # It prints every command it receives: read on, so that it never waits for us.
            background.append(asyncio.create_task(sim.stdout.read()))
            # A private X server, so that nothing of this touches a desktop someone is using.
            xvfb = await processes.start("Xvfb", "-displayfd", "1", "-screen", "0", "1280x1024x24",
                                         "-nolisten", "tcp", "-noreset",
                                         stdout=asyncio.subprocess.PIPE,
                                         stderr=asyncio.subprocess.DEVNULL)
            display = await read_line(xvfb.stdout, 10)
            environment = {k: v for k, v in os.environ.items()
                           if k not in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
            environment.update(DISPLAY=f":{display}", XDG_RUNTIME_DIR=str(runtime))
            program = await processes.start(str(temp / "program" / "scantouch"), "--input",
                                            "xtest", cwd=temp / "program", env=environment)
            listener = StatusListener()
            listening = asyncio.create_task(listener.run(f"ws://127.0.0.1:{web_port}/status"))
            background.append(listening)
            browser = Browser(temp / "profile")
            try:
                await browser.open()
                session = await check_page(checks, browser, f"http://127.0.0.1:{web_port}",
                                           listener, options.program, options.screenshot)
                await check_end(checks, browser, session, program)
            finally:
                await browser.close()
        finally:
            for task in background:
                task.cancel()
            await processes.end_all()
            if listening and listening.done() and not listening.cancelled() and \
                    listening.exception():
                checks.true("status listener", False, f" {listening.exception()}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", default=str(ROOT / "build/release/src/scantouch"))
    parser.add_argument("--sim", default=str(ROOT / "build/release/tools/scanner-sim/scanner-sim"))
    parser.add_argument("--screenshot", type=Path, nargs="?", const=ROOT / "docs/web-status.png",
                        help="save the page as png here (docs/web-status.png when not given)")
    options = parser.parse_args()
    if CHROMIUM is None:
        print("skipped: chromium is not installed")
        return SKIPPED
    checks = Checks()
    started = time.monotonic()
    try:
        asyncio.run(asyncio.wait_for(run(options, checks), DEADLINE_S))
    except asyncio.TimeoutError:
        checks.true(f"done within {DEADLINE_S} s", False)
    print(f"took {time.monotonic() - started:.1f} s")
    return 1 if checks.failed else 0


if __name__ == "__main__":
    sys.exit(main())
