// Drives the page in the browser test: steps the ticks the address asks for,
// then moves one slider to its least and steps again, and writes each
// canvas's SHA-256 with the settings it ran on into <pre id="result">.
"use strict";
document.addEventListener("zarvo-ready", async function () {
  const address = new URLSearchParams(location.hash.slice(1));
  const ticks = Number(address.get("ticks"));
  const page = window.zarvoPage;
  const lines = [];
  async function record(name) {
    page.step(ticks);
    const canvas = page.canvas;
    // A copy read once, so the page's own canvas is never read back.
    const copy = document.createElement("canvas");
    copy.width = canvas.width;
    copy.height = canvas.height;
    const context = copy.getContext("2d", {willReadFrequently: true});
    context.drawImage(canvas, 0, 0);
    const rgba = context.getImageData(0, 0, canvas.width, canvas.height).data;
    const rgb = new Uint8Array(canvas.width * canvas.height * 3);
    for (let i = 0, j = 0; i < rgba.length; i += 4, j += 3) rgb.set(rgba.subarray(i, i + 3), j);
    const digest = new Uint8Array(await crypto.subtle.digest("SHA-256", rgb));
    const settings = page.sliders.map(function (s) { return [s.min, s.max, s.value].join(" "); });
    lines.push(["case", name, page.running() ? "running" : "refused", canvas.width + "x" + canvas.height,
                "settings", settings.join(" "), "digest",
                Array.from(digest, function (b) { return b.toString(16).padStart(2, "0"); }).join("")].join(" "));
  }
  await record("first");
  const slider = page.sliders[Number(address.get("slide"))];
  slider.value = slider.min;
  slider.dispatchEvent(new Event("input"));
  await record("slid");
  const result = document.createElement("pre");
  result.id = "result";
  result.textContent = lines.join("\n");
  document.body.append(result);
});
