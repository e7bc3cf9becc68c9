// The scene as a wallpaper: the whole window in device pixels, no controls
// of its own. Lively Wallpaper and Wallpaper Engine show the settings panel
// (wallpaper_panel.js, written with their files from one list by
// tools/wallpaper_files.cpp) and call the listeners below as it changes, and
// tell the page when to pause.
// `#seed=S&hold` in the address fixes the seed and leaves the ticks to
// window.zarvoWallpaper.step (for tests).
"use strict";
(function () {
  const canvas = document.getElementById("scene");
  const address = new URLSearchParams(location.hash.slice(1));
  const largestSide = 8192;
  // A seed left empty in the panel: a new one at each start.
  let seedText = address.get("seed") || "";
  let runner = null;
  // What the programs ask before the scene runs, applied once it does.
  const waiting = [], waitingHolds = new Map();

  function wantedSize() {
    const ratio = window.devicePixelRatio || 1;
    const side = function (css) { return Math.max(1, Math.min(largestSide, Math.round(css * ratio))); };
    return [side(window.innerWidth), side(window.innerHeight)];
  }

  // A seed as typed: a number from 0 to 2^32 - 1, brought into that range;
  // anything else is no seed.
  function seedOf(text) {
    const number = Math.floor(Number(text));
    if (String(text).trim() === "" || !Number.isFinite(number)) return (Date.now() * 2) >>> 0;
    return Math.min(4294967295, Math.max(0, number));
  }

  function start() {
    runner.seed = seedOf(seedText);
    const [width, height] = wantedSize();
    runner.start(width, height);
  }

  function follow() {
    const [width, height] = wantedSize();
    if (width !== canvas.width || height !== canvas.height) start();
  }

  // One setting of the panel by its key, in either program's form: each
  // takes it as the page's own controls would; false when the scene must
  // start again for it.
  function apply(key, value) {
    const name = String(key).toLowerCase();
    const index = zarvoWallpaperPanel.settings.indexOf(name);
    if (index >= 0) return runner.change(index, value);
    if (name === zarvoWallpaperPanel.pictureSize) {
      const number = Math.round(Number(value));
      if (!(number >= 0 && number < zarvoWallpaperPanel.pictureSizeCount)) return true;
      runner.pictureSize = number;
      return false;
    }
    if (name === zarvoWallpaperPanel.seed) {
      seedText = String(value);
      return false;
    }
    return true;  // a property of the program's own, such as its colour scheme
  }

  // Several at once start the scene again at most once.
  function applyAll(entries) {
    if (runner === null) {
      waiting.push(...entries);
      return;
    }
    let live = true;
    for (const [key, value] of entries) live = apply(key, value) && live;
    if (!live) start();
  }

  function hold(reason, on) {
    if (runner === null) waitingHolds.set(reason, on);
    else runner.hold(reason, on);
  }

  // Lively: one control at a time.
  window.livelyPropertyListener = function (name, value) { applyAll([[name, value]]); };
  // Lively's playback: a JSON text, {"IsPaused": true} while the wallpaper
  // is hidden behind windows or the user paused it.
  window.livelyWallpaperPlaybackChanged = function (data) {
    let paused = false;
    try { paused = JSON.parse(data).IsPaused === true; } catch (error) { return; }
    hold("lively", paused);
  };
  // Wallpaper Engine: the properties that changed, each as {value: ...}.
  window.wallpaperPropertyListener = {
    applyUserProperties: function (properties) {
      const entries = [];
      for (const key of Object.keys(properties || {})) {
        const property = properties[key];
        if (property && "value" in property) entries.push([key, property.value]);
      }
      applyAll(entries);
    },
    setPaused: function (paused) { hold("wallpaper-engine", paused === true); },
  };

  ZarvoModule().then(function (core) {
    runner = zarvoSceneRunner(core, canvas);
    if (address.has("hold")) runner.hold("test", true);
    runner.pictureSize = runner.pictureSizeNamed(zarvoWallpaperPanel.defaultPictureSize);
    waitingHolds.forEach(function (on, reason) { runner.hold(reason, on); });
    start();
    if (waiting.length > 0) applyAll(waiting.splice(0));
    window.addEventListener("resize", follow);
    window.zarvoWallpaper = {runner: runner, canvas: canvas, step: runner.step};
    document.dispatchEvent(new Event("zarvo-ready"));
  });
})();
