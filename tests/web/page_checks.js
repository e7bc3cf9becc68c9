// What both browser drivers look at: the canvas's digest, which the tests
// compare with zarvo-render's pictures, and whether the timer moves it.
"use strict";
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
function zarvoCanvasDigest(canvas) {
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

function zarvoWait(ms) { return new Promise(function (done) { setTimeout(done, ms); }); }

// As the browser does when the page's tab or window is hidden or shown.
function zarvoShowPage(shown) {
  Object.defineProperty(document, "hidden", {value: !shown, configurable: true});
  Object.defineProperty(document, "visibilityState", {value: shown ? "visible" : "hidden", configurable: true});
  document.dispatchEvent(new Event("visibilitychange"));
}

// "NAME still" when `act` stops the canvas for five timer periods, then
// "NAME-resumed moved" when `undo` lets it go on.
async function zarvoPauseLines(canvas, period, name, act, undo) {
  act();
  const paused = zarvoCanvasDigest(canvas);
  await zarvoWait(5 * period);
  const still = paused === zarvoCanvasDigest(canvas);
  undo();
  await zarvoWait(5 * period);
  return [name + (still ? " still" : " moved"), name + "-resumed " + (paused !== zarvoCanvasDigest(canvas) ? "moved" : "still")];
}
