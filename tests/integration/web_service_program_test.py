#!/usr/bin/python3
"""The whole program's web service, with clients this project did not write.

The program runs against the scanner simulator with a hand that comes and goes in the touch
rectangle, sending TUIO to two UDP targets (a raw receiver and liblo's oscdump) and serving the
web service on 127.0.0.1. Debian's python3-websockets is the WebSocket client. Checks:
  - every WebSocket message on / and /tuio is one whole OSC bundle of /tuio/2Dcur, and the
    messages are byte for byte a run of the datagrams the UDP target got in the same time;
  - oscdump, fed those messages as datagrams, prints what it prints for the program's own UDP
    stream: frames with a contact set and the idle bundle;
  - /status sends JSON with the touch rectangle and, while the hand is there, its contact;
  - bad clients are answered as they should be, each kind told once to the log, and TUIO keeps
    flowing; a second copy of the program finds the port taken, says so once and goes on.

  web_service_program_test.py SCANTOUCH SCANNER_SIM OSCDUMP
Exit 0 passed, 1 failed, 77 skipped (a tool is missing). Runs under an X server (xvfb-run).
"""

import asyncio
import base64
import json
import os
import re
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time
from pathlib import Path

try:
    import websockets
except ImportError:
    print("skipped: python3-websockets is not installed")
    sys.exit(77)

REQUEST_TIMEOUT_S = 10  # the server's bound on a request that never comes whole
MAX_CONNECTIONS = 64  # the server's bound on connections at once

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what, flush=True)
    return condition


# --- OSC --------------------------------------------------------------------------------------


def osc_string(data, at):
    end = data.index(b"\0", at)
    text = data[at:end].decode()
    return text, (end + 4) & ~3


def osc_message(data):
    """(address, arguments) of one whole OSC message, or a ValueError."""
    address, at = osc_string(data, 0)
    tags, at = osc_string(data, at)
    if not tags.startswith(","):
        raise ValueError("no type tags")
    arguments = []
    for tag in tags[1:]:
        if tag == "i":
            arguments.append(struct.unpack_from(">i", data, at)[0])
            at += 4
        elif tag == "f":
            arguments.append(struct.unpack_from(">f", data, at)[0])
            at += 4
        elif tag == "s":
            text, at = osc_string(data, at)
            arguments.append(text)
        else:
            raise ValueError("type tag " + tag)
    if at != len(data):
        raise ValueError("bytes after the arguments")
    return address, arguments


def tuio_bundle(data):
    """The /tuio/2Dcur messages of one whole bundle; a ValueError if it is anything else."""
    if data[:8] != b"#bundle\0" or len(data) < 16:
        raise ValueError("not a bundle")
    messages, at = [], 16
    while at < len(data):
        (size,) = struct.unpack_from(">i", data, at)
        at += 4
        if size <= 0 or size % 4 or at + size > len(data):
            raise ValueError("an element runs past the bundle")
        address, arguments = osc_message(data[at:at + size])
        if address != "/tuio/2Dcur":
            raise ValueError("address " + address)
        messages.append(arguments)
        at += size
    commands = [m[0] for m in messages]
    if commands[:2] != ["source", "alive"] or commands[-1] != "fseq" or any(
            c != "set" for c in commands[2:-1]):
        raise ValueError("messages " + " ".join(commands))
    return messages


def is_idle(messages):
    return messages[1] == ["alive"] and messages[-1] == ["fseq", -1]


def contiguous_run(needle, haystack):
    """Where `needle` is a run of `haystack`, or None."""
    for start in range(len(haystack) - len(needle) + 1):
        if haystack[start:start + len(needle)] == needle:
            return start
    return None


# --- processes and ports ---------------------------------------------------------------------


def free_port(kind):
    with socket.socket(socket.AF_INET, kind) as s:
        s.bind(("127.0.0.1" if kind == socket.SOCK_STREAM else "0.0.0.0", 0))
        return s.getsockname()[1]


def wait_for(condition, timeout_s, step_s=0.05):
    end = time.monotonic() + timeout_s
    while time.monotonic() < end:
        if condition():
            return True
        time.sleep(step_s)
    return condition()


class OscDump:
    """liblo's oscdump on a free UDP port, its lines in a file."""

    def __init__(self, path, folder, name):
        self.port = free_port(socket.SOCK_DGRAM)
        self.file = folder / (name + ".txt")
        self.process = subprocess.Popen([path, "-L", str(self.port)],
                                        stdout=open(self.file, "w"), stderr=subprocess.STDOUT)
        # oscdump says nothing when it listens: a probe goes until it prints one.
        probe = (b"/probe\0\0\0,\0\0\0")
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
            self.ready = wait_for(lambda: s.sendto(probe, ("127.0.0.1", self.port)) and
                                  " /probe" in self.file.read_text(), 5, 0.1)

    def lines(self):
        """The messages printed, without the time tag: for a bundle to be taken at once, as TUIO
        sends them, oscdump prints the time it came."""
        return [line.split(" ", 1)[1] for line in self.file.read_text().splitlines()
                if " /probe" not in line]

    def stop(self):
        self.process.terminate()
        self.process.wait(5)


def write_ini(path, lines):
    path.write_bytes(("\r\n".join(lines) + "\r\n").encode("cp936"))


def install(folder, program, scanner_port, engine_keys):
    """The program in `folder` with its settings files (GBK), for a networked scanner."""
    folder.mkdir()
    shutil.copy(program, folder / "scantouch")
    write_ini(folder / "配置.ini",
              ["[网络参数]", "TxtTcpIp0=127.0.0.1", f"TxtTcpPost0={scanner_port}"])
    write_ini(folder / "系统配置.ini", [
        "[参数设置]", "雷达位置=7500,7500", "标定左上角=5000,2000", "标定右下角=5000,3000",
        "屏幕宽高=1000,600", "屏幕左上角=0,0", "灵敏度=2", "角度校正=0",
        "[动作设置]", "鼠标移动=1", "鼠标点击=1", "开机自动隐藏=0",
        "[触控引擎]", "鼠标模式=2"] + [f"{k}={v}" for k, v in engine_keys])


def start_program(folder):
    """The program from its folder, its log in log.txt, with a runtime folder of its own so that
    another copy does not stop it at the "already running" warning."""
    runtime = folder / "runtime"
    runtime.mkdir(mode=0o700)
    env = dict(os.environ, XDG_RUNTIME_DIR=str(runtime))
    env.pop("WAYLAND_DISPLAY", None)
    log = folder / "log.txt"
    process = subprocess.Popen([str(folder / "scantouch"), "--input", "xtest"], cwd=folder,
                               env=env, stdout=open(log, "w"), stderr=subprocess.STDOUT)
    return process, log


def end_program(process):
    process.send_signal(signal.SIGTERM)
    try:
        return process.wait(10)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
        return None


# --- raw clients ------------------------------------------------------------------------------


class Datagrams(asyncio.DatagramProtocol):
    def __init__(self):
        self.received = []  # (monotonic time, bytes)

    def datagram_received(self, data, addr):
        self.received.append((time.monotonic(), data))


async def exchange(port, data, timeout_s=3.0):
    """Sends `data`, reads until the server closes: (answer, closed)."""
    reader, writer = await asyncio.open_connection("127.0.0.1", port)
    writer.write(data)
    answer, closed = b"", False
    end = time.monotonic() + timeout_s
    try:
        while time.monotonic() < end:
            chunk = await asyncio.wait_for(reader.read(65536), end - time.monotonic())
            if not chunk:
                closed = True
                break
            answer += chunk
    except (asyncio.TimeoutError, ConnectionResetError):
        closed = closed or reader.at_eof()
    writer.close()
    return answer, closed


def status_of(answer):
    match = re.match(rb"HTTP/1\.1 (\d{3}) ", answer)
    return int(match.group(1)) if match else None


def upgrade_request(path, key):
    return (f"GET {path} HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\n"
            f"Connection: Upgrade\r\nSec-WebSocket-Version: 13\r\n"
            f"Sec-WebSocket-Key: {key}\r\n\r\n").encode()


def server_frames(data):
    """(opcode, payload) of the unmasked frames in `data`, as far as they are whole."""
    frames, at = [], 0
    while at + 2 <= len(data):
        opcode, length = data[at] & 0x0F, data[at + 1] & 0x7F
        at += 2
        if length == 126:
            (length,) = struct.unpack_from(">H", data, at)
            at += 2
        elif length == 127:
            (length,) = struct.unpack_from(">Q", data, at)
            at += 8
        if at + length > len(data):
            break
        frames.append((opcode, data[at:at + length]))
        at += length
    return frames


async def unmasked_frame(port):
    """A WebSocket client that sends its frame unmasked: the close code it is sent back, or
    None, and whether the connection then ended."""
    key = base64.b64encode(os.urandom(16)).decode()
    answer, closed = await exchange(port, upgrade_request("/status", key) + b"\x81\x05hello")
    head, _, rest = answer.partition(b"\r\n\r\n")
    if status_of(head) != 101:
        return None, closed
    closes = [p for opcode, p in server_frames(rest) if opcode == 8]
    code = struct.unpack(">H", closes[0][:2])[0] if closes and len(closes[0]) >= 2 else None
    return code, closed


async def many_at_once(port, count):
    """`count` connections opened together, each waiting a moment for an answer: how many were
    answered 503, closed without an answer, or left open; then all are closed."""
    opened = await asyncio.gather(
        *[asyncio.open_connection("127.0.0.1", port) for _ in range(count)],
        return_exceptions=True)
    streams = [s for s in opened if not isinstance(s, Exception)]

    async def outcome(reader):
        try:
            data = await asyncio.wait_for(reader.read(4096), 2.0)
        except asyncio.TimeoutError:
            return "open"
        except ConnectionResetError:
            return "closed"
        if not data:
            return "closed"
        return "503" if status_of(data) == 503 else data[:40]

    outcomes = await asyncio.gather(*[outcome(reader) for reader, _ in streams])
    for _, writer in streams:
        writer.close()
    tally = {}
    for o in outcomes:
        tally[o] = tally.get(o, 0) + 1
    return len(opened) - len(streams), tally


# --- the run ---------------------------------------------------------------------------------


async def collect_tuio(url, messages, stop, forward=None):
    """The messages of a WebSocket at `url`, until `stop` is set or the server closes it."""
    async with websockets.connect(url, ping_interval=None, max_size=1 << 20) as ws:
        try:
            while not stop.is_set():
                try:
                    message = await asyncio.wait_for(ws.recv(), 0.2)
                except asyncio.TimeoutError:
                    continue
                messages.append((time.monotonic(), message))
                if forward:
                    forward(message)
        except websockets.ConnectionClosed:
            pass


async def web_checks(web_port, udp, dump_b_port):
    loop = asyncio.get_running_loop()
    base = f"ws://127.0.0.1:{web_port}"

    # The silent client starts first: its 10 s run alongside everything else.
    async def silent():
        started = time.monotonic()
        answer, closed = await exchange(web_port, b"", REQUEST_TIMEOUT_S + 5)
        return time.monotonic() - started, answer, closed

    silent_task = asyncio.create_task(silent())

    # TUIO on /tuio until the program ends, each message passed on to oscdump as it comes.
    forward_socket = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    tuio_messages, until_exit = [], asyncio.Event()

    def forward(message):
        forward_socket.sendto(message, ("127.0.0.1", dump_b_port))

    tuio_task = asyncio.create_task(
        collect_tuio(base + "/tuio", tuio_messages, until_exit, forward))
    # TUIO on / for a while, joining later and leaving earlier.
    await asyncio.sleep(0.3)
    root_messages, root_stop = [], asyncio.Event()
    root_task = asyncio.create_task(collect_tuio(base + "/", root_messages, root_stop))

    # Status until one tells of a contact.
    statuses, status_with_contact = [], None
    async with websockets.connect(base + "/status", ping_interval=None) as ws:
        pong = await ws.ping(b"scantouch")
        try:
            await asyncio.wait_for(pong, 2)
        except asyncio.TimeoutError:
            check(False, "a ping is answered")
        end = time.monotonic() + 8
        while time.monotonic() < end and status_with_contact is None:
            message = await asyncio.wait_for(ws.recv(), 2)
            statuses.append(message)
            if isinstance(message, str):
                try:
                    parsed = json.loads(message)
                except ValueError:
                    continue
                if parsed.get("contacts"):
                    status_with_contact = parsed
    check(statuses and all(isinstance(m, str) for m in statuses), "status messages are text")
    parsed = []
    for m in statuses:
        try:
            parsed.append(json.loads(m))
        except (TypeError, ValueError):
            check(False, f"a status message that is not JSON: {m[:80]!r}")
    check(all(p.get("rect") == {"left": 5000, "top": 2000, "width": 5000, "height": 3000}
              for p in parsed), f"status rect: {parsed[0].get('rect') if parsed else None}")
    if check(status_with_contact is not None, "a status message with a contact"):
        contact = status_with_contact["contacts"][0]
        check(0 <= contact["u"] <= 1 and 0 <= contact["v"] <= 1 and
              5000 <= contact["x"] <= 10000 and 2000 <= contact["y"] <= 5000,
              f"the contact lies in the rectangle: {contact}")
        check(status_with_contact.get("engine") is True, "status: the engine runs")

    # What a browser asks for.
    for path, kind in (("/", b"text/html"), ("/status.js", b"text/javascript"),
                       ("/tuio.js", b"text/javascript")):
        answer, closed = await exchange(
            web_port, f"GET {path} HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n".encode())
        check(status_of(answer) == 200 and kind in answer.partition(b"\r\n\r\n")[0] and closed,
              f"GET {path}: {answer[:60]!r}")

    # Bad input, each kind twice: answered each time, told to the log once.
    get = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n"
    bad = [
        ("an SSH client", b"SSH-2.0-OpenSSH_9.2p1\r\n", 400),
        ("not HTTP", b"hello\r\n\r\n", 400),
        ("a header over 8 KiB", (get + "X-Filler: " + "a" * 9000 + "\r\n\r\n").encode(), 431),
        ("POST", b"POST / HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 5\r\n\r\nhello", 405),
        ("POST again", b"POST /status HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", 405),
        ("a path out of the root", b"GET /../../etc/passwd HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n",
         404),
        ("an escaped path out of the root",
         b"GET /%2e%2e/%2e%2e/etc/passwd HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", 404),
        ("a malformed WebSocket key", upgrade_request("/tuio", "not a key!"), 400),
        ("a short WebSocket key", upgrade_request("/", "c2hvcnQ="), 400),
    ]
    for what, data, expected in bad:
        answer, closed = await exchange(web_port, data)
        check(status_of(answer) == expected and closed,
              f"{what}: answered {answer[:40]!r}, closed {closed}, not {expected}")
        check(b"root:" not in answer, f"{what}: a file in the answer")
    for _ in range(2):
        code, closed = await unmasked_frame(web_port)
        check(code == 1002 and closed, f"an unmasked frame: close code {code}, closed {closed}")

    failed, tally = await many_at_once(web_port, 100)
    print("100 connections at once:", failed, "not opened,", tally, flush=True)
    check(tally.get("open", 0) <= MAX_CONNECTIONS, f"more connections kept than allowed: {tally}")
    check(tally.get("503", 0) + tally.get("closed", 0) + failed >= 100 - MAX_CONNECTIONS,
          f"the excess was answered 503 or closed: {tally}")
    check(set(tally) <= {"open", "503", "closed"}, f"other answers: {tally}")
    served = False
    for _ in range(20):
        answer, _closed = await exchange(web_port, (get + "\r\n").encode())
        if status_of(answer) == 200:
            served = True
            break
        await asyncio.sleep(0.1)
    check(served, "served after 100 connections at once")

    root_stop.set()
    await root_task
    bad_over = time.monotonic()

    elapsed, answer, closed = await silent_task
    check(status_of(answer) == 408 and closed and
          REQUEST_TIMEOUT_S - 0.5 <= elapsed <= REQUEST_TIMEOUT_S + 2.5,
          f"a silent client: {answer[:40]!r} after {elapsed:.1f} s, closed {closed}")

    # TUIO still flows to both after all that.
    flowing = lambda: (sum(t > bad_over for t, _ in tuio_messages) >= 5 and
                       sum(t > bad_over for t, _ in udp.received) >= 5)
    deadline = loop.time() + 5
    while not flowing() and loop.time() < deadline:
        await asyncio.sleep(0.1)
    check(flowing(), "TUIO flows to the WebSocket and the UDP target after the bad input")
    return tuio_messages, root_messages, until_exit, tuio_task, forward_socket


async def second_copy(program, folder, web_port):
    """A second copy of the program whose web service finds the port taken: it says so once and
    goes on (its idle TUIO keeps coming)."""
    transport, udp = await asyncio.get_running_loop().create_datagram_endpoint(
        Datagrams, local_addr=("127.0.0.1", 0))
    udp_port = transport.get_extra_info("sockname")[1]
    install(folder, program, free_port(socket.SOCK_STREAM),
            [("TUIO目标", f"127.0.0.1:{udp_port}"), ("网页服务", f"127.0.0.1:{web_port}")])
    process, log = start_program(folder)
    said = lambda: "cannot listen on" in log.read_text(errors="replace")
    deadline = time.monotonic() + 10
    while not said() and time.monotonic() < deadline and process.poll() is None:
        await asyncio.sleep(0.1)
    check(said(), "the second copy tells that it cannot listen")
    told_at = len(udp.received)
    deadline = time.monotonic() + 4
    while len(udp.received) < told_at + 2 and time.monotonic() < deadline:
        await asyncio.sleep(0.1)
    check(process.poll() is None and len(udp.received) >= told_at + 2,
          "the second copy goes on running after the port was taken")
    end_program(process)
    transport.close()
    lines = [line for line in log.read_text(errors="replace").splitlines() if "web service" in line]
    check(len(lines) == 1 and f"web service: cannot listen on 127.0.0.1:{web_port}" in lines[0],
          f"the second copy's log: {lines}")


async def run(program, simulator, oscdump, folder):
    transport, udp = await asyncio.get_running_loop().create_datagram_endpoint(
        Datagrams, local_addr=("127.0.0.1", 0))
    udp_port = transport.get_extra_info("sockname")[1]
    dump_a = OscDump(oscdump, folder, "oscdump-udp")
    dump_b = OscDump(oscdump, folder, "oscdump-ws")
    if not check(dump_a.ready and dump_b.ready, "oscdump listens"):
        return
    processes = [dump_a.process, dump_b.process]
    try:
        # A hand moving inside the rectangle, there two seconds of every four: contacts while it
        # is, the idle bundle while it is not.
        scanner_port = free_port(socket.SOCK_STREAM)
        sim = subprocess.Popen(
            [simulator, "--tcp", str(scanner_port), "--room", "7000",
             "--object", "0,4000,100,30,3500,6", "--tap", "2,4"],
            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        processes.append(sim)
        if not check("ready" in sim.stdout.readline(), "the simulator is ready"):
            return
        web_port = free_port(socket.SOCK_STREAM)
        install(folder / "program", program, scanner_port,
                [("TUIO目标", f"127.0.0.1:{udp_port};127.0.0.1:{dump_a.port}"),
                 ("网页服务", f"127.0.0.1:{web_port}")])
        scantouch, log = start_program(folder / "program")
        processes.append(scantouch)

        def listening():
            try:
                socket.create_connection(("127.0.0.1", web_port), 0.2).close()
                return True
            except OSError:
                return False

        if not check(wait_for(listening, 10), "the program's web service listens"):
            return
        second = asyncio.create_task(second_copy(program, folder / "second", web_port))
        tuio, root, until_exit, tuio_task, forward_socket = await web_checks(
            web_port, udp, dump_b.port)
        await second

        # The program ends: its goodbye goes to the listener too, then the connection closes.
        code = await asyncio.to_thread(end_program, scantouch)
        check(code == 0, f"the program ends when asked, exit code {code}")
        try:
            await asyncio.wait_for(tuio_task, 3)
        except asyncio.TimeoutError:
            check(False, "the TUIO listener is closed at the exit")
        until_exit.set()
        await asyncio.sleep(0.3)  # the last datagrams reach the dumps
        forward_socket.close()
        transport.close()

        datagrams = [data for _, data in udp.received]
        for name, messages in (("/tuio", tuio), ("/", root)):
            payloads = [m for _, m in messages]
            check(len(payloads) >= 10, f"{name}: {len(payloads)} messages")
            check(all(isinstance(p, bytes) for p in payloads), f"{name}: binary messages")
            bundles = []
            for p in payloads:
                try:
                    bundles.append(tuio_bundle(p))
                except (ValueError, struct.error, UnicodeDecodeError) as e:
                    check(False, f"{name}: a message that is not one whole bundle ({e}): {p!r}")
            check(contiguous_run(payloads, datagrams) is not None,
                  f"{name}: the messages are a run of the UDP datagrams")
            check(any(len(b) > 3 for b in bundles), f"{name}: frames with a contact")
            check(any(is_idle(b) for b in bundles), f"{name}: the idle bundle")
        tuio_bundles = [tuio_bundle(m) for _, m in tuio if isinstance(m, bytes)]
        check(tuio_bundles and is_idle(tuio_bundles[-1]), "/tuio: the goodbye comes last")

        # oscdump reads the WebSocket's bytes as it reads the UDP stream.
        from_ws, from_udp = dump_b.lines(), dump_a.lines()
        print(f"oscdump: {len(from_ws)} lines from the WebSocket, {len(from_udp)} from UDP",
              flush=True)
        if not check(len(from_ws) > 0 and contiguous_run(from_ws, from_udp) is not None,
                     "oscdump's lines of the WebSocket are a run of those of UDP"):
            print("\n".join(["WebSocket:"] + from_ws[:8] + ["UDP:"] + from_udp[:8]))
        check(any(' "set" ' in line for line in from_ws), "oscdump: set messages")
        check(any(line.endswith(' "fseq" -1') for line in from_ws), "oscdump: the idle bundle")
        check(all("/tuio/2Dcur" in line for line in from_ws), "oscdump: TUIO only")

        # Each kind of trouble is told once.
        told = [line for line in log.read_text(errors="replace").splitlines()
                if "web service:" in line]
        causes = [re.sub(r" \(first from [^)]*\)$", "", line.split("web service: ", 1)[1])
                  for line in told]
        check(len(causes) == len(set(causes)), f"a cause told twice: {told}")
        for cause in ("not an HTTP request: answered 400",
                      "the header is longer than 8 KiB: answered 431",
                      "a method other than GET: answered 405",
                      "a path that is not served: answered 404",
                      "a malformed WebSocket key: answered 400",
                      "no whole request within 10 s: answered 408",
                      "more than 64 connections at once"):
            check(sum(c.startswith(cause) for c in causes) == 1, f"the log tells once: {cause}")
        check(sum(c.startswith("a WebSocket client sent") for c in causes) == 1,
              "the log tells once of the unmasked frame")
    finally:
        for process in reversed(processes):
            if process.poll() is None:
                end_program(process)
        if failures and (folder / "program" / "log.txt").exists():
            print("--- the program's log ---")
            print((folder / "program" / "log.txt").read_text(errors="replace"))


def main():
    if len(sys.argv) != 4:
        print(__doc__)
        return 2
    tools = sys.argv[1:]
    for tool in tools:
        if not (os.path.isfile(tool) and os.access(tool, os.X_OK)):
            print("skipped: not found:", tool)
            return 77
    started = time.monotonic()
    with tempfile.TemporaryDirectory(prefix="scantouch-web-") as folder:
        asyncio.run(run(*tools, Path(folder)))
    print(f"{len(failures)} failed, {time.monotonic() - started:.1f} s", flush=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
