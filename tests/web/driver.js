// Drives the page in the browser test and writes what it saw into
// <pre id="result">. With `hold` in the address: steps the ticks asked for,
// moves one slider to its least and steps again, and gives each canvas's
// SHA-256 with the settings it ran on. Without: lets the page's own timer
// run, and gives whether the canvas moved while paused and after.
"use strict";
document.addEventListener("zarvo-ready", async function () {
  const address = new URLSearchParams(location.hash.slice(1));
  const page = window.zarvoPage;
  const lines = [];

  // The canvas's RGB bytes' SHA-256 in hex, read from a copy so the page's
  // own canvas is never read back.
  async function digest() {
    const canvas = page.canvas;
    const copy = document.createElement("canvas");
    copy.width = canvas.width;
    copy.height = canvas.height;
    const context = copy.getContext("2d", {willReadFrequently: true});
    context.drawImage(canvas, 0, 0);
    const rgba = context.getImageData(0, 0, canvas.width, canvas.height).data;
    const rgb = new Uint8Array(canvas.width * canvas.height * 3);
    for (let i = 0, j = 0; i < rgba.length; i += 4, j += 3) rgb.set(rgba.subarray(i, i + 3), j);
    const bytes = new Uint8Array(await crypto.subtle.digest("SHA-256", rgb));
    return Array.from(bytes, function (b) { return b.toString(16).padStart(2, "0"); }).join("");
  }

  async function record(name) {
    page.step(Number(address.get("ticks")));
    const settings = page.sliders.map(function (s) { return [s.min, s.max, s.value].join(" "); });
    lines.push(["case", name, page.running() ? "running" : "refused", page.canvas.width + "x" + page.canvas.height,
                "settings", settings.join(" "), "digest", await digest()].join(" "));
  }

  function wait(ms) { return new Promise(function (done) { setTimeout(done, ms); }); }
  function pressSpace() { document.dispatchEvent(new KeyboardEvent("keydown", {key: " "})); }

  if (address.has("hold")) {
    await record("first");
    const slider = page.sliders[Number(address.get("slide"))];
    slider.value = slider.min;
    slider.dispatchEvent(new Event("input"));
    await record("slid");
  } else {
    // Five timer periods between looks.
    const period = page.period();
    const first = await digest();
    await wait(5 * period);
    lines.push("timer " + (first !== await digest() ? "moved" : "still"));
    pressSpace();
    const paused = await digest();
    await wait(5 * period);
    lines.push("paused " + (paused === await digest() ? "still" : "moved"));
    pressSpace();
    await wait(5 * period);
    lines.push("resumed " + ((await digest()) !== paused ? "moved" : "still"));
  }
  const result = document.createElement("pre");
  result.id = "result";
  result.textContent = lines.join("\n");
  document.body.append(result);
});
