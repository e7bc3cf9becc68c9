// Drives the page in the browser test and writes what it saw into
// <pre id="result">. With `hold` in the address: steps the ticks asked for,
// moves one slider to its least and steps again, and gives each canvas's
// SHA-256 with the settings it ran on. With `live`: moves sliders on the
// running scene and resizes the stage, and says what the page did. Without
// either: lets the page's own timer run, and gives whether the canvas moved
// while paused and after.
"use strict";
document.addEventListener("zarvo-ready", async function () {
  const address = new URLSearchParams(location.hash.slice(1));
  const page = window.zarvoPage;
  const lines = [];

  // SHA-256 of `bytes` in hex, worked out here on the page's own thread:
  // crypto.subtle answers from another thread, outside headless Chromium's
  // virtual clock, which could then run out and dump the page first.
  function sha256(bytes) {
    const k = new Uint32Array(64), h = new Uint32Array(8), w = new Uint32Array(64);
    const fraction = function (x) { return (x - Math.floor(x)) * 0x100000000 >>> 0; };
    for (let n = 2, found = 0; found < 64; ++n) {
      let prime = true;
      for (let d = 2; d * d <= n; ++d) if (n % d === 0) prime = false;
      if (!prime) continue;
      if (found < 8) h[found] = fraction(Math.sqrt(n));
      k[found++] = fraction(Math.cbrt(n));
    }
    const length = bytes.length, padded = new Uint8Array(Math.ceil((length + 9) / 64) * 64);
    padded.set(bytes);
    padded[length] = 0x80;
    const view = new DataView(padded.buffer);
    view.setUint32(padded.length - 8, Math.floor(length / 0x20000000));
    view.setUint32(padded.length - 4, length * 8 >>> 0);
    const rotate = function (x, n) { return x >>> n | x << (32 - n); };
    for (let block = 0; block < padded.length; block += 64) {
      for (let i = 0; i < 16; ++i) w[i] = view.getUint32(block + 4 * i);
      for (let i = 16; i < 64; ++i) {
        const s0 = rotate(w[i - 15], 7) ^ rotate(w[i - 15], 18) ^ w[i - 15] >>> 3;
        const s1 = rotate(w[i - 2], 17) ^ rotate(w[i - 2], 19) ^ w[i - 2] >>> 10;
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
      }
      let [a, b, c, d, e, f, g, x] = h;
      for (let i = 0; i < 64; ++i) {
        const t1 = x + (rotate(e, 6) ^ rotate(e, 11) ^ rotate(e, 25)) + (e & f ^ ~e & g) + k[i] + w[i] >>> 0;
        const t2 = (rotate(a, 2) ^ rotate(a, 13) ^ rotate(a, 22)) + (a & b ^ a & c ^ b & c) >>> 0;
        x = g; g = f; f = e; e = d + t1 >>> 0; d = c; c = b; b = a; a = t1 + t2 >>> 0;
      }
      [a, b, c, d, e, f, g, x].forEach(function (v, i) { h[i] += v; });
    }
    return Array.from(h, function (v) { return v.toString(16).padStart(8, "0"); }).join("");
  }

  // The canvas's RGB bytes' SHA-256 in hex, read from a copy so the page's
  // own canvas is never read back.
  function digest() {
    const canvas = page.canvas;
    const copy = document.createElement("canvas");
    copy.width = canvas.width;
    copy.height = canvas.height;
    const context = copy.getContext("2d", {willReadFrequently: true});
    context.drawImage(canvas, 0, 0);
    const rgba = context.getImageData(0, 0, canvas.width, canvas.height).data;
    const rgb = new Uint8Array(canvas.width * canvas.height * 3);
    for (let i = 0, j = 0; i < rgba.length; i += 4, j += 3) rgb.set(rgba.subarray(i, i + 3), j);
    return sha256(rgb);
  }

  function record(name) {
    page.step(Number(address.get("ticks")));
    const settings = page.sliders.map(function (s) { return [s.min, s.max, s.value].join(" "); });
    lines.push(["case", name, page.running() ? "running" : "refused", page.canvas.width + "x" + page.canvas.height,
                "settings", settings.join(" "), "digest", digest()].join(" "));
  }

  function wait(ms) { return new Promise(function (done) { setTimeout(done, ms); }); }
  function pressSpace() { document.dispatchEvent(new KeyboardEvent("keydown", {key: " "})); }

  function move(index, to) {
    const slider = page.sliders[index];
    slider.value = to === "min" ? slider.min : slider.max;
    slider.dispatchEvent(new Event("input"));
  }

  // The canvas's size in device pixels beside the stage's.
  function sizes() {
    const ratio = window.devicePixelRatio;
    return page.canvas.width + "x" + page.canvas.height + " stage " + Math.round(page.stage.clientWidth * ratio) +
           "x" + Math.round(page.stage.clientHeight * ratio) + (page.running() ? " running" : " refused");
  }

  if (address.has("live")) {
    // Sliders on a running scene: redraw speed and circle speed change it
    // where it stands, walkway walkers start it again; then the stage is
    // made smaller, and narrower than the scene.
    lines.push("initial " + sizes());
    page.step(10);
    const before = digest(), starts = page.starts(), period = page.period();
    move(4, "max");
    move(0, "min");
    lines.push("live " + (page.starts() === starts ? "kept" : "started") + " " +
               (digest() === before ? "same" : "repainted") + " period " + period + " " + page.period());
    page.step(5);
    lines.push("ticks " + (digest() !== before ? "moved" : "still"));
    move(3, "min");
    lines.push("walkway-walkers " + (page.starts() === starts + 1 ? "started" : "kept"));
    for (const [width, height] of [["700px", "400px"], ["300px", "250px"]]) {
      page.stage.style.flex = "none";
      page.stage.style.width = width;
      page.stage.style.height = height;
      // As the browser window's resize event: the resize observer's call
      // comes with a frame, which headless Chromium makes only now and then.
      window.dispatchEvent(new Event("resize"));
      lines.push("resized " + sizes());
    }
  } else if (address.has("hold")) {
    record("first");
    const slider = page.sliders[Number(address.get("slide"))];
    slider.value = slider.min;
    slider.dispatchEvent(new Event("input"));
    record("slid");
  } else {
    // Five timer periods between looks.
    const period = page.period();
    const first = digest();
    await wait(5 * period);
    lines.push("timer " + (first !== digest() ? "moved" : "still"));
    pressSpace();
    const paused = digest();
    await wait(5 * period);
    lines.push("paused " + (paused === digest() ? "still" : "moved"));
    pressSpace();
    await wait(5 * period);
    lines.push("resumed " + (digest() !== paused ? "moved" : "still"));
  }
  const result = document.createElement("pre");
  result.id = "result";
  result.textContent = lines.join("\n");
  document.body.append(result);
});
