// The status page: what the program sends on the WebSocket /status, drawn as it comes.
// Only what a message says is shown; the page keeps nothing of its own but the contacts' trails.
"use strict";

(() => {
  const RETRY_MS = 2000;
  const TRAIL_LENGTH = 20;
  const MARGIN = 0.15;  // around the touch rectangle, so what lies just outside shows too
  const SCANNER_MARGIN = 0.05;  // around a scanner's mark, of the rectangle's size
  const CONTACT_RADIUS_PX = 13;
  const SCANNER_COLOURS = ["#1565c0", "#c2185b", "#2e7d32", "#ef6c00", "#6a1b9a", "#00838f"];

  const canvas = document.getElementById("view");
  const connection = document.getElementById("connection");
  const scannerList = document.getElementById("scanners");
  const contactList = document.getElementById("contacts");
  const engine = document.getElementById("engine");
  const version = document.getElementById("version");

  let status = null;
  const trails = new Map();  // session id -> last positions [x, y], oldest first
  let drawPending = false;

  const number = (value) => (Number.isFinite(Number(value)) ? Number(value) : 0);
  const colourOf = (index) => SCANNER_COLOURS[index % SCANNER_COLOURS.length];

  function element(tag, className, text) {
    const node = document.createElement(tag);
    if (className) node.className = className;
    if (text !== undefined) node.textContent = text;
    return node;
  }

  function showConnection(open) {
    connection.dataset.state = open ? "open" : "closed";
    connection.textContent = open ? "已连接到程序" : "未连接，正在重试…";
    document.body.classList.toggle("stale", !open);
  }

  function connect() {
    const scheme = location.protocol === "https:" ? "wss" : "ws";
    const socket = new WebSocket(`${scheme}://${location.host}/status`);
    socket.onopen = () => showConnection(true);
    socket.onmessage = (event) => {
      let message;
      try {
        message = JSON.parse(event.data);
      } catch {
        return;  // a message cut short says nothing; the next one comes within a tenth of a second
      }
      if (message && typeof message === "object") take(message);
    };
    socket.onclose = () => {
      showConnection(false);
      setTimeout(connect, RETRY_MS);
    };
  }

  function take(message) {
    status = {
      version: String(message.version ?? ""),
      engine: message.engine === true,
      rect: message.rect && typeof message.rect === "object" ? message.rect : null,
      contacts: Array.isArray(message.contacts) ? message.contacts : [],
      scanners: Array.isArray(message.scanners) ? message.scanners : [],
    };
    const seen = new Set();
    for (const contact of status.contacts) {
      const session = String(contact.session);
      seen.add(session);
      const trail = trails.get(session) ?? [];
      trail.push([number(contact.x), number(contact.y)]);
      if (trail.length > TRAIL_LENGTH) trail.shift();
      trails.set(session, trail);
    }
    for (const session of trails.keys()) {
      if (!seen.has(session)) trails.delete(session);
    }
    showLists();
    requestDraw();
  }

  function showLists() {
    version.textContent = status.version || "–";
    engine.textContent = status.engine ? "触控引擎：运行中" : "触控引擎：未启用";
    engine.className = status.engine ? "on" : "off";

    scannerList.replaceChildren(...status.scanners.map((scanner, index) => {
      const item = element("li");
      item.dataset.name = String(scanner.name ?? "");
      item.dataset.connected = String(scanner.connected === true);
      item.style.setProperty("--swatch", colourOf(index));
      const connected = scanner.connected === true;
      item.append(
        element("span", `state ${connected ? "ok" : "bad"}`, connected ? "已连接" : "无数据"),
        element("div", "name", String(scanner.name ?? "")),
        element("div", "figures",
                `${number(scanner.turnsPerSecond).toFixed(1)} 圈/秒 · ` +
                `${Math.round(number(scanner.nodesPerSecond))} 点/秒 · ` +
                `重启次数 ${Math.round(number(scanner.restarts))}`));
      return item;
    }));

    contactList.replaceChildren(...status.contacts.map((contact) => {
      const u = number(contact.u).toFixed(3);
      const v = number(contact.v).toFixed(3);
      const x = Math.round(number(contact.x));
      const y = Math.round(number(contact.y));
      const item = element("li", "", `#${contact.cursor}  u ${u}  v ${v}  (${x}, ${y}) mm`);
      item.dataset.cursor = String(contact.cursor);
      item.dataset.session = String(contact.session);
      item.dataset.u = u;
      item.dataset.v = v;
      return item;
    }));
  }

  function requestDraw() {
    if (drawPending) return;
    drawPending = true;
    requestAnimationFrame(() => {
      drawPending = false;
      draw();
    });
  }

  // The part of the surface shown: the touch rectangle and a margin around it, and where the
  // scanners stand (often well outside it, and where they stand tells how they see it); or,
  // without a rectangle, whatever the scanners see.
  function viewBounds() {
    const rect = status.rect;
    if (rect && number(rect.width) > 0 && number(rect.height) > 0) {
      const width = number(rect.width);
      const height = number(rect.height);
      let left = number(rect.left) - MARGIN * width;
      let top = number(rect.top) - MARGIN * height;
      let right = number(rect.left) + (1 + MARGIN) * width;
      let bottom = number(rect.top) + (1 + MARGIN) * height;
      const room = (SCANNER_MARGIN * (width + height)) / 2;
      for (const scanner of status.scanners) {
        const x = number(scanner.x);
        const y = number(scanner.y);
        left = Math.min(left, x - room);
        right = Math.max(right, x + room);
        top = Math.min(top, y - room);
        bottom = Math.max(bottom, y + room);
      }
      return { left, top, width: right - left, height: bottom - top };
    }
    let left = Infinity, top = Infinity, right = -Infinity, bottom = -Infinity;
    for (const scanner of status.scanners) {
      const points = Array.isArray(scanner.points) ? scanner.points : [];
      for (let i = 0; i + 1 < points.length; i += 2) {
        left = Math.min(left, points[i]);
        right = Math.max(right, points[i]);
        top = Math.min(top, points[i + 1]);
        bottom = Math.max(bottom, points[i + 1]);
      }
    }
    if (!(right > left && bottom > top)) return null;
    return { left, top, width: right - left, height: bottom - top };
  }

  function draw() {
    const ratio = window.devicePixelRatio || 1;
    const width = canvas.clientWidth;
    const height = canvas.clientHeight;
    canvas.width = Math.round(width * ratio);
    canvas.height = Math.round(height * ratio);
    const ctx = canvas.getContext("2d");
    ctx.setTransform(ratio, 0, 0, ratio, 0, 0);
    ctx.clearRect(0, 0, width, height);
    ctx.font = '13px system-ui, "WenQuanYi Micro Hei", "Microsoft YaHei", sans-serif';

    const bounds = status && viewBounds();
    if (!bounds) {
      ctx.fillStyle = "#6b7380";
      ctx.textAlign = "center";
      ctx.fillText("无数据", width / 2, height / 2);
      return;
    }
    // View units grow to the right and downward like the canvas: one scale, no flip.
    const pad = 10;
    const scale = Math.min((width - 2 * pad) / bounds.width, (height - 2 * pad) / bounds.height);
    const originX = (width - scale * bounds.width) / 2 - scale * bounds.left;
    const originY = (height - scale * bounds.height) / 2 - scale * bounds.top;
    const toX = (x) => originX + scale * x;
    const toY = (y) => originY + scale * y;

    const rect = status.rect;
    const hasRect = rect && number(rect.width) > 0 && number(rect.height) > 0;
    const rectPath = new Path2D();
    if (hasRect) {
      rectPath.rect(toX(number(rect.left)), toY(number(rect.top)),
                    scale * number(rect.width), scale * number(rect.height));
      ctx.fillStyle = "#eef3fb";
      ctx.fill(rectPath);
      ctx.strokeStyle = "#7a90b0";
      ctx.lineWidth = 1.5;
      ctx.stroke(rectPath);
      ctx.fillStyle = "#7a90b0";
      ctx.textAlign = "left";
      ctx.textBaseline = "bottom";
      ctx.fillText("触控区域", toX(number(rect.left)), toY(number(rect.top)) - 4);
    }

    // What lies outside the rectangle is drawn faint, then what lies inside it again in full.
    const drawPoints = (alpha) => {
      ctx.globalAlpha = alpha;
      status.scanners.forEach((scanner, index) => {
        const points = Array.isArray(scanner.points) ? scanner.points : [];
        ctx.fillStyle = colourOf(index);
        for (let i = 0; i + 1 < points.length; i += 2) {
          ctx.fillRect(toX(points[i]) - 1.5, toY(points[i + 1]) - 1.5, 3, 3);
        }
      });
      ctx.globalAlpha = 1;
    };
    drawPoints(hasRect ? 0.3 : 1);
    if (hasRect) {
      ctx.save();
      ctx.clip(rectPath);
      drawPoints(1);
      ctx.restore();
    }

    ctx.textBaseline = "middle";
    status.scanners.forEach((scanner, index) => {
      const x = number(scanner.x);
      const y = number(scanner.y);
      if (x < bounds.left || x > bounds.left + bounds.width ||
          y < bounds.top || y > bounds.top + bounds.height) return;
      ctx.fillStyle = colourOf(index);
      ctx.beginPath();
      ctx.arc(toX(x), toY(y), 6, 0, 2 * Math.PI);
      ctx.fill();
      // The name on the side with room for it.
      const onLeft = toX(x) > width / 2;
      ctx.textAlign = onLeft ? "right" : "left";
      ctx.fillText(String(scanner.name ?? ""), toX(x) + (onLeft ? -10 : 10), toY(y));
    });

    ctx.lineCap = "round";
    ctx.lineJoin = "round";
    for (const trail of trails.values()) {
      ctx.strokeStyle = "rgba(211, 84, 0, 0.45)";
      ctx.lineWidth = 3;
      ctx.beginPath();
      trail.forEach(([x, y], i) => (i ? ctx.lineTo(toX(x), toY(y)) : ctx.moveTo(toX(x), toY(y))));
      ctx.stroke();
    }
    ctx.textAlign = "center";
    ctx.font = 'bold 13px system-ui, "WenQuanYi Micro Hei", "Microsoft YaHei", sans-serif';
    for (const contact of status.contacts) {
      const x = toX(number(contact.x));
      const y = toY(number(contact.y));
      // A ring, so that the points the finger leaves show through.
      ctx.beginPath();
      ctx.arc(x, y, CONTACT_RADIUS_PX, 0, 2 * Math.PI);
      ctx.fillStyle = "rgba(211, 84, 0, 0.15)";
      ctx.fill();
      ctx.strokeStyle = "#d35400";
      ctx.lineWidth = 2;
      ctx.stroke();
      ctx.fillStyle = "#a04000";
      ctx.fillText(String(contact.cursor), x, y - CONTACT_RADIUS_PX - 8);
    }
  }

  new ResizeObserver(requestDraw).observe(canvas);
  showConnection(false);
  connection.textContent = "正在连接…";
  connect();
})();
