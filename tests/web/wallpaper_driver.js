// Drives the wallpaper page as the wallpaper programs do and writes what it
// saw into <pre id="result">: the canvas's size and black edges; a case line
// (ticks, starts, digest) after Lively's listener, after Wallpaper Engine's,
// and after the timer ran through both programs' pauses and a hidden page;
// and whether each pause stopped the canvas and letting go moved it.
// The address holds `seed=S&hold&ticks=T&seed2=S2`.
"use strict";
document.addEventListener("zarvo-ready", async function () {
  const address = new URLSearchParams(location.hash.slice(1));
  const page = window.zarvoWallpaper, runner = page.runner, canvas = page.canvas;
  const ticks = Number(address.get("ticks"));
  const lines = [];

  // How many rows or columns from each edge are wholly black.
  function blackEdges() {
    const bytes = runner.image().data, width = canvas.width, height = canvas.height;
    const black = function (x, y) { const i = 4 * (y * width + x); return bytes[i] + bytes[i + 1] + bytes[i + 2] === 0; };
    const lineBlack = function (count, at) { for (let i = 0; i < count; ++i) if (!at(i)) return false; return true; };
    const run = function (limit, lineAt) { let n = 0; while (n < limit && lineBlack(...lineAt(n))) ++n; return n; };
    return [run(height, function (y) { return [width, function (x) { return black(x, y); }]; }),
            run(height, function (y) { return [width, function (x) { return black(x, height - 1 - y); }]; }),
            run(width, function (x) { return [height, function (y) { return black(x, y); }]; }),
            run(width, function (x) { return [height, function (y) { return black(width - 1 - x, y); }]; })].join(" ");
  }

  function record(name) {
    lines.push(["case", name, runner.ticks, "starts", runner.starts, "seed", runner.seed, "digest",
                zarvoCanvasDigest(canvas)].join(" "));
  }

  lines.push("canvas " + canvas.width + "x" + canvas.height + " black-edges " + blackEdges());
  // Before the first tick: the live change and a start with it meet.
  window.livelyPropertyListener("circleSpeed", 140);
  runner.step(ticks);
  record("lively");
  // Several at once, some out of range or no number, a new seed and the
  // program's own.
  window.wallpaperPropertyListener.applyUserProperties({
    seed: {value: address.get("seed2")}, circlespeed: {value: 30}, circlewalkers: {value: "many"},
    walkwaywalkers: {value: 999},
    seatshuffle: {value: -5}, picturesize: {value: 3}, schemecolor: {value: "0 0 0"}});
  runner.step(ticks);
  record("engine");
  // The timer at its fastest, through each pause.
  window.wallpaperPropertyListener.applyUserProperties({redrawspeed: {value: 500}});
  runner.hold("test", false);
  const period = runner.period(), playback = window.livelyWallpaperPlaybackChanged;
  lines.push(...await zarvoPauseLines(canvas, period, "lively", function () { playback('{"IsPaused":true}'); },
                                      function () { playback('{"IsPaused":false}'); }));
  const engine = window.wallpaperPropertyListener;
  lines.push(...await zarvoPauseLines(canvas, period, "engine", function () { engine.setPaused(true); },
                                      function () { engine.setPaused(false); }));
  lines.push(...await zarvoPauseLines(canvas, period, "hidden", function () { zarvoShowPage(false); },
                                      function () { zarvoShowPage(true); }));
  runner.hold("test", true);
  record("resumed");
  lines.push("marker " + document.documentElement.dataset.zarvo);
  const result = document.createElement("pre");
  result.id = "result";
  result.textContent = lines.join("\n");
  document.body.append(result);
});
