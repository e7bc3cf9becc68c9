// The scene on a canvas, as both pages run it: the core's scene (zarvo.js,
// built from web/zarvo_web.cpp) started from six values, a picture size and a
// seed, ticked on its own timer period, and stopped while anything holds it
// (a pause button, a wallpaper program, a hidden page). A hold stops only
// the timer: letting go goes on from the same scene.
"use strict";
function zarvoSceneRunner(core, canvas) {
  // Opaque: what the page shows is the core's bytes as they are.
  const context = canvas.getContext("2d", {alpha: false});
  const valuesPointer = core._malloc(4 * 6);
  const holds = new Set(document.hidden ? ["hidden"] : []);
  const runner = {
    values: [0, 1, 2, 3, 4, 5].map(function (i) { return core._zarvo_setting(i, 2); }),
    pictureSize: 0,
    seed: 0,
    running: false,
    starts: 0,
    ticks: 0,  // since the last start
  };
  let timer = 0;

  // The core's canvas bytes seen where they lie, not copied (a view made
  // each time, as the core's memory may have grown and moved since).
  function coreImage() {
    const bytes = new Uint8ClampedArray(core.HEAPU8.buffer, core._zarvo_pixels(), canvas.width * canvas.height * 4);
    return new ImageData(bytes, canvas.width, canvas.height);
  }

  // Only the rectangles the last tick wrote.
  function drawChanges() {
    const image = coreImage();
    for (let i = 0, n = core._zarvo_changed_count(); i < n; ++i) {
      context.putImageData(image, 0, 0, core._zarvo_changed(i, 0), core._zarvo_changed(i, 1),
                           core._zarvo_changed(i, 2), core._zarvo_changed(i, 3));
    }
  }

  // The first tick draws the figures: from then on a screenshot shows the
  // scene as it runs, which the marker tells whoever waits for one.
  function tick() {
    ++runner.ticks;
    if (core._zarvo_tick()) drawChanges();
    if (document.documentElement.dataset.zarvo !== "drawn") {
      document.documentElement.dataset.zarvo = "drawn";
      document.dispatchEvent(new Event("zarvo-drawn"));
    }
  }

  function schedule() {
    clearTimeout(timer);
    if (!runner.running || holds.size > 0) return;
    timer = setTimeout(function () {
      tick();
      schedule();
    }, core._zarvo_period());
  }

  function clamp(index, value) {
    const number = Math.round(Number(value));
    if (!Number.isFinite(number)) return runner.values[index];
    return Math.min(core._zarvo_setting(index, 1), Math.max(core._zarvo_setting(index, 0), number));
  }

  // Starts the scene again on a width x height canvas.
  runner.start = function (width, height) {
    [canvas.width, canvas.height] = [width, height];
    runner.values.forEach(function (value, i) { core.HEAP32[valuesPointer / 4 + i] = value; });
    runner.running = core._zarvo_start(width, height, runner.pictureSize, runner.seed >>> 0, valuesPointer) === 1;
    ++runner.starts;
    runner.ticks = 0;
    if (runner.running) context.putImageData(coreImage(), 0, 0);
    schedule();
    return runner.running;
  };

  // Setting `index` to `value`, brought into its range: the running scene
  // takes it where it can; false when the scene must start again for it.
  runner.change = function (index, value) {
    runner.values[index] = clamp(index, value);
    if (!core._zarvo_change(index, runner.values[index])) return false;
    schedule();
    return true;
  };

  // The picture size named `name`'s number; -1 for none.
  runner.pictureSizeNamed = function (name) {
    for (let i = 0, n = core._zarvo_picture_size_count(); i < n; ++i) {
      if (core.UTF8ToString(core._zarvo_picture_size(i, 2)) === name) return i;
    }
    return -1;
  };

  runner.hold = function (reason, on) {
    if (on) holds.add(reason);
    else holds.delete(reason);
    schedule();
  };
  runner.held = function () { return holds.size > 0; };
  runner.image = coreImage;
  runner.step = function (ticks) { for (let i = 0; i < ticks; ++i) tick(); };
  runner.period = function () { return core._zarvo_period(); };

  document.addEventListener("visibilitychange", function () { runner.hold("hidden", document.hidden); });
  return runner;
}
