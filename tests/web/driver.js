// Drives the page in the browser test and writes what it saw into
// <pre id="result">. With `hold` in the address: steps the ticks asked for,
// moves one slider to its least and steps again, and gives each canvas's
// SHA-256 with the settings it ran on. With `live`: moves sliders on the
// running scene and resizes the stage, and says what the page did. Without
// either: lets the page's own timer run, and gives whether the canvas moved
// while paused (by space, then by a hidden page) and after.
"use strict";
document.addEventListener("zarvo-ready", async function () {
  const address = new URLSearchParams(location.hash.slice(1));
  const page = window.zarvoPage;
  const lines = [];

  const digest = function () { return zarvoCanvasDigest(page.canvas); };

  function record(name) {
    page.step(Number(address.get("ticks")));
    const settings = page.sliders.map(function (s) { return [s.min, s.max, s.value].join(" "); });
    lines.push(["case", name, page.running() ? "running" : "refused", page.canvas.width + "x" + page.canvas.height,
                "settings", settings.join(" "), "digest", digest()].join(" "));
  }

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
    // The default picture size, and the black beside it on a stage wider
    // than the picture, in the core's bytes as the canvas gets them.
    const bytes = page.runner.image().data, middle = 4 * page.canvas.width * (page.canvas.height >> 1);
    lines.push("picture " + document.getElementById("pictureSize").selectedOptions[0].textContent + " band " +
               Array.from(bytes.subarray(middle, middle + 4)).join(","));
    page.step(10);
    const before = digest(), starts = page.starts(), period = page.period();
    move(4, "max");
    move(0, "min");
    lines.push("live " + (page.starts() === starts ? "kept" : "started") + " " +
               (digest() === before ? "same" : "repainted") + " period " + period + " " + page.period());
    page.step(5);
    lines.push("ticks " + (digest() !== before ? "moved" : "still") + " marker " +
               document.documentElement.dataset.zarvo);
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
    // Five timer periods between looks: space, then a hidden page, pause it.
    const period = page.period();
    const first = digest();
    await zarvoWait(5 * period);
    lines.push("timer " + (first !== digest() ? "moved" : "still"));
    lines.push(...await zarvoPauseLines(page.canvas, period, "paused", pressSpace, pressSpace));
    lines.push(...await zarvoPauseLines(page.canvas, period, "hidden", function () { zarvoShowPage(false); },
                                        function () { zarvoShowPage(true); }));
  }
  const result = document.createElement("pre");
  result.id = "result";
  result.textContent = lines.join("\n");
  document.body.append(result);
});
