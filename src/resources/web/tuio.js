// TUIO 1.1 cursors (/tuio/2Dcur) from the program's WebSocket, as callbacks.
//
//   <script src="/tuio.js"></script>
//   <script>
//     const tuio = new TuioClient({
//       onAdd(cursor) { ... },     // a finger came
//       onUpdate(cursor) { ... },  // it moved (or was told again where it is)
//       onRemove(cursor) { ... },  // it went
//     });
//     tuio.connect();
//   </script>
//
// Options, all optional: url (default ws://<this page's host>/), onAdd, onUpdate, onRemove,
// onFrame(frameSequence) after each frame's callbacks, onConnection(open).
// A cursor is { sessionId, cursorId, x, y, xSpeed, ySpeed, acceleration }: x and y from 0 at
// the touch area's left and top edge to 1 at its right and bottom edge; speeds in those units a
// second. TUIO sends no cursor id, so each new cursor takes the lowest one not in use, as TUIO
// clients do. Callbacks get copies; they run once a frame, after its "fseq" message.
// tuio.cursors() gives the cursors present, ordered by cursor id. tuio.close() disconnects and
// stops retrying. While the connection is down the client tries again every two seconds; the
// cursors it had are removed when it drops, since nobody says any more where they are.
// TuioClient.decodeOsc(arrayBuffer) gives the OSC messages of a packet as { address, args }.
"use strict";

(() => {
  const RETRY_MS = 2000;
  const PROFILE = "/tuio/2Dcur";
  // TCP keeps bundles in order, but one frame may come as several bundles with the same number;
  // a number far below the last one is a sender that started again.
  const LATE_FRAME_WINDOW = 100;

  const textDecoder = new TextDecoder();

  class OscReader {
    constructor(view, start, end) {
      this.view = view;
      this.at = start;
      this.end = end;
    }

    take(bytes) {
      if (bytes < 0 || this.at + bytes > this.end) throw new RangeError("OSC packet cut short");
      const at = this.at;
      this.at += bytes;
      return at;
    }

    int32() { return this.view.getInt32(this.take(4)); }
    float32() { return this.view.getFloat32(this.take(4)); }
    float64() { return this.view.getFloat64(this.take(8)); }
    int64() { return Number(this.view.getBigInt64(this.take(8))); }

    // A string ends at its first zero byte and is padded with zeros to a multiple of four.
    string() {
      const bytes = new Uint8Array(this.view.buffer, this.view.byteOffset, this.view.byteLength);
      let zero = this.at;
      while (zero < this.end && bytes[zero] !== 0) zero++;
      if (zero >= this.end) throw new RangeError("OSC string without its end");
      const text = textDecoder.decode(bytes.subarray(this.at, zero));
      this.take((zero - this.at + 4) & ~3);
      return text;
    }

    blob() {
      const size = this.int32();
      const at = this.take((size + 3) & ~3);
      return new Uint8Array(this.view.buffer, this.view.byteOffset + at, size);
    }
  }

  function decodeMessage(reader, messages) {
    const address = reader.string();
    if (reader.at === reader.end) {
      messages.push({ address, args: [] });  // old senders leave out an empty type tag string
      return;
    }
    const tags = reader.string();
    if (!tags.startsWith(",")) throw new RangeError("OSC type tags without their comma");
    const args = [];
    for (const tag of tags.slice(1)) {
      switch (tag) {
        case "i": args.push(reader.int32()); break;
        case "f": args.push(reader.float32()); break;
        case "s": case "S": args.push(reader.string()); break;
        case "h": args.push(reader.int64()); break;
        case "d": args.push(reader.float64()); break;
        case "t": args.push(reader.int64()); break;
        case "b": args.push(reader.blob()); break;
        case "c": case "r": case "m": args.push(reader.int32()); break;
        case "T": args.push(true); break;
        case "F": args.push(false); break;
        case "N": args.push(null); break;
        case "I": args.push(Infinity); break;
        case "[": case "]": break;
        default: throw new RangeError(`OSC type ${tag} not known`);
      }
    }
    messages.push({ address, args });
  }

  function decodePacket(view, start, end, messages) {
    const reader = new OscReader(view, start, end);
    if (end - start >= 8 && reader.string() === "#bundle") {
      reader.take(8);  // the time tag: TUIO's are "at once"
      while (reader.at < end) {
        const size = reader.int32();
        if (size < 0 || size % 4 !== 0) throw new RangeError("OSC bundle element of a bad size");
        const at = reader.take(size);
        decodePacket(view, at, at + size, messages);
      }
      return;
    }
    decodeMessage(new OscReader(view, start, end), messages);
  }

  function decodeOsc(buffer) {
    const view = new DataView(buffer);
    const messages = [];
    decodePacket(view, 0, view.byteLength, messages);
    return messages;
  }

  class TuioClient {
    constructor(options = {}) {
      const scheme = location.protocol === "https:" ? "wss" : "ws";
      this.url = options.url ?? `${scheme}://${location.host}/`;
      this.handlers = options;
      this.socket = null;
      this.retry = null;
      this.closed = false;
      this.live = new Map();  // session id -> cursor
      this.resetFrame();
      this.lastFrame = 0;
    }

    connect() {
      this.closed = false;
      if (this.socket) return;
      clearTimeout(this.retry);
      const socket = new WebSocket(this.url);
      socket.binaryType = "arraybuffer";
      socket.onopen = () => this.call("onConnection", true);
      socket.onmessage = (event) => {
        if (event.data instanceof ArrayBuffer) this.receive(event.data);
      };
      socket.onclose = () => {
        this.socket = null;
        this.lastFrame = 0;
        this.resetFrame();
        this.removeAll();
        this.call("onConnection", false);
        if (!this.closed) this.retry = setTimeout(() => this.connect(), RETRY_MS);
      };
      this.socket = socket;
    }

    close() {
      this.closed = true;
      clearTimeout(this.retry);
      if (this.socket) this.socket.close();
    }

    cursors() {
      return [...this.live.values()].map((cursor) => ({ ...cursor }))
        .sort((a, b) => a.cursorId - b.cursorId);
    }

    // One WebSocket message is one OSC packet; a packet that does not decode is dropped whole.
    receive(buffer) {
      let messages;
      try {
        messages = decodeOsc(buffer);
      } catch {
        return;
      }
      for (const { address, args } of messages) {
        if (address === PROFILE) this.take(args);
      }
    }

    take(args) {
      switch (args[0]) {
        case "alive":
          this.alive = new Set(args.slice(1).map(Number));
          break;
        case "set":
          if (args.length >= 7) {
            const [, sessionId, x, y, xSpeed, ySpeed, acceleration] = args.map(Number);
            this.sets.set(sessionId, { x, y, xSpeed, ySpeed, acceleration });
          }
          break;
        case "fseq":
          this.endFrame(Number(args[1]));
          break;
      }
    }

    resetFrame() {
      this.alive = null;
      this.sets = new Map();
    }

    endFrame(frame) {
      const late =
        frame > 0 && frame < this.lastFrame && this.lastFrame - frame <= LATE_FRAME_WINDOW;
      const alive = this.alive;
      const sets = this.sets;
      this.resetFrame();
      if (late) return;
      if (frame > 0) this.lastFrame = frame;
      if (alive) {
        for (const [sessionId, cursor] of this.live) {
          if (alive.has(sessionId)) continue;
          this.live.delete(sessionId);
          this.call("onRemove", { ...cursor });
        }
      }
      for (const [sessionId, values] of sets) {
        if (alive && !alive.has(sessionId)) continue;
        let cursor = this.live.get(sessionId);
        if (cursor) {
          Object.assign(cursor, values);
          this.call("onUpdate", { ...cursor });
        } else {
          cursor = { sessionId, cursorId: this.freeCursorId(), ...values };
          this.live.set(sessionId, cursor);
          this.call("onAdd", { ...cursor });
        }
      }
      this.call("onFrame", frame);
    }

    freeCursorId() {
      const used = new Set([...this.live.values()].map((cursor) => cursor.cursorId));
      let id = 0;
      while (used.has(id)) id++;
      return id;
    }

    removeAll() {
      const gone = [...this.live.values()];
      this.live.clear();
      for (const cursor of gone) this.call("onRemove", { ...cursor });
    }

    // A fault in the page's own callback must not stop the cursors after it from being told.
    call(name, value) {
      const handler = this.handlers[name];
      if (typeof handler !== "function") return;
      try {
        handler(value);
      } catch (error) {
        setTimeout(() => { throw error; });
      }
    }
  }

  TuioClient.decodeOsc = decodeOsc;
  globalThis.TuioClient = TuioClient;
})();
