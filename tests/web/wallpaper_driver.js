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

  // Of the top, bottom, left and right edge, whether it is wholly black.
  function blackEdges() {
    const bytes = runner.image().data, w = canvas.width, h = canvas.height;
    const lit = function (x, y) { const i = 4 * (y * w + x); return bytes[i] + bytes[i + 1] + bytes[i + 2] > 0; };
    const black = function (n, at) { for (let i = 0; i < n; ++i) if (at(i)) return false; return true; };
    return [black(w, function (x) { return lit(x, 0); }), black(w, function (x) { return lit(x, h - 1); }),
            black(h, function (y) { return lit(0, y); }), black(h, function (y) { return lit(w - 1, y); })].join(" ");
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
