// The host-neutral part of a run: areas' scenes, their refusals, the timer,
// the tick counts and what a run's areas draw into one window.
#include "app/scene_run.h"

#include <algorithm>
#include <cstdio>

#include "platform/services.h"

void BeginRun(SceneRun* run, const RunChoices& choices) {
    *run = SceneRun{};
    run->settings = choices.settings;
    run->display = choices.display;
    run->seed = choices.seedGiven ? choices.seed : SeedFromClock();
    run->frameLimit = choices.frameLimit;
    run->stillAfter = choices.stillAfter;
    run->running = 1;
}

void EndRun(SceneRun* run, int status) {
    run->running = 0;
    run->exitStatus = status;
}

RunStart StartAreaScene(SceneRun* run, int index, const MonitorPlan& plan, const AreaSetUp& setUp) {
    SceneArea* area = &run->areas[index];
    area->rect = plan.rect;
    if (plan.primary) run->primary = index;
    if (!plan.showsScene && !plan.primary) return kRunReady;
    const int screenWidth = setUp.screenWidth > 0 ? setUp.screenWidth : plan.rect.width;
    SceneWindowInfo info{plan.rect.width, plan.rect.height, screenWidth, setUp.bitsPerPixel, nullptr};
    PictureSize pictureSize = run->display.pictureSize;
    if (setUp.shrinkSmall) info = ShrinkSmallArea(info, &pictureSize);
    const SceneSetUp made = SetUpScene(info, run->settings, plan.seed);
    if (made.scene == nullptr) {
        if (!plan.primary) return kRunReady;
        return made.outcome == kSceneRefused ? kRunRefused : kRunFailed;
    }
    area->scene = made.scene;
    area->view = CreateScreenView(made.scene, pictureSize, plan.rect.width, plan.rect.height);
    if (area->view == nullptr) return kRunOutOfMemory;
    if (plan.primary || run->lead == nullptr) run->lead = made.scene;
    return kRunReady;
}

RunStart StartAreaScenes(SceneRun* run, const MonitorPlan* plans, int count, const AreaSetUp& setUp) {
    run->areaCount = count;
    if (count <= 0) return kRunReady;
    int primary = 0;
    while (primary < count - 1 && !plans[primary].primary) ++primary;
    RunStart start = StartAreaScene(run, primary, plans[primary], setUp);
    for (int i = 0; i < count && start == kRunReady; ++i) {
        if (i != primary) start = StartAreaScene(run, i, plans[i], setUp);
    }
    return start;
}

void EndAreaScene(SceneRun* run, int index) {
    SceneArea* area = &run->areas[index];
    const bool timedTicks = area->scene != nullptr && run->lead == area->scene;
    DestroyScreenView(area->view);
    DestroyScene(area->scene);
    *area = SceneArea{};
    if (!timedTicks) return;
    run->lead = nullptr;
    for (int i = 0; i < run->areaCount && run->lead == nullptr; ++i) run->lead = run->areas[i].scene;
    if (run->lead == nullptr) run->animating = 0;
}

void EndScenes(SceneRun* run) {
    for (int i = 0; i < kMaxMonitors; ++i) EndAreaScene(run, i);
    run->areaCount = 0;
    run->lead = nullptr;
}

int RunTickPeriod(const SceneRun& run) {
    if (run.lead == nullptr || !SceneAnimates(*run.lead)) return 0;
    return std::max(10, FrameTimerPeriod(*run.lead));
}

void StartTicks(SceneRun* run, int64_t nowMs) {
    run->sceneTicksDrawn = 0;
    run->animating = RunTickPeriod(*run) > 0 && run->stillAfter != 0;
    if (run->lead != nullptr) run->nextTickMs = nowMs + RunTickPeriod(*run);
    if (run->lead != nullptr && run->frameLimit == 0) EndRun(run, 0);
}

int MillisecondsUntilTick(const SceneRun& run, int64_t nowMs) {
    if (!run.animating) return -1;
    return static_cast<int>(std::clamp<int64_t>(run.nextTickMs - nowMs, 0, 1000000));
}

int TakeDueTick(SceneRun* run, int64_t nowMs) {
    if (!run->animating || nowMs < run->nextTickMs) return 0;
    run->nextTickMs = std::max(run->nextTickMs + RunTickPeriod(*run), nowMs);
    return 1;
}

void CountTick(SceneRun* run) {
    ++run->ticksDrawn;
    ++run->sceneTicksDrawn;
    if (run->stillAfter >= 0 && run->sceneTicksDrawn >= run->stillAfter) run->animating = 0;
    if (run->frameLimit >= 0 && run->ticksDrawn >= run->frameLimit) EndRun(run, 0);
}

int ChangeRunSetting(SceneRun* run, int index, int value) {
    if (run->lead == nullptr || index < 0 || index >= kSettingCount || !SettingChangesRunningScene(index)) return 0;
    run->settings.entries[index].value = value;
    for (int i = 0; i < run->areaCount; ++i) {
        if (run->areas[i].scene != nullptr) ChangeSceneSettings(*run->areas[i].scene, run->settings);
    }
    return 1;
}

void ForgetShownPictures(SceneRun* run) {
    for (int i = 0; i < run->areaCount; ++i) {
        if (run->areas[i].view != nullptr) ForgetShownPicture(*run->areas[i].view);
    }
}

namespace {

// The rows [top, bottom) of the window that lie in `area`, in the area's own
// coordinates, which the view draws in.
RgbPixels AreaPixels(const RgbPixels& window, Rect area, int top, int bottom) {
    const int first = std::clamp(top - area.y, 0, area.height);
    const int last = std::clamp(bottom - area.y, first, area.height);
    const size_t row = static_cast<size_t>(area.y) + static_cast<size_t>(first);
    return RgbPixels{window.pixels + row * static_cast<size_t>(window.pitch) + area.x, window.pitch,
                     Rect{0, first, area.width, last - first}};
}

}  // namespace

void PaintAreas(SceneRun* run, const RgbPixels& window, int top, int bottom) {
    for (int i = 0; i < run->areaCount; ++i) {
        const SceneArea& area = run->areas[i];
        const RgbPixels band = AreaPixels(window, area.rect, top, bottom);
        if (area.view != nullptr && !IsEmpty(band.area)) PaintScreenView(*area.view, band);
    }
}

int TickAreas(SceneRun* run, const RgbPixels& window, Rect* changed, int capacity) {
    int count = 0;
    for (int i = 0; i < run->areaCount; ++i) {
        const SceneArea& area = run->areas[i];
        if (area.view == nullptr) continue;
        TickScreenView(*area.view, AreaPixels(window, area.rect, area.rect.y, area.rect.y + area.rect.height));
        for (int k = 0; k < area.view->changedCount; ++k) {
            AddRect(changed, &count, capacity, Offset(area.view->changed[k], TopLeft(area.rect)));
        }
    }
    CountTick(run);
    return count;
}

int KeyClosesWindow(uint32_t keysym) { return keysym == 'q' || keysym == 'Q' || keysym == 0xff1b; }

int PointerDismisses(PointerAnchor* anchor, ScreenPoint cursor) {
    if (!anchor->known) *anchor = PointerAnchor{cursor, 1};
    return MouseMoveExceedsThreshold(anchor->point, cursor, kMouseMoveThreshold);
}

#ifndef _WIN32
int ReportRunStart(SceneRun* run, RunStart start, const char* program, int bitsPerPixel) {
    if (start == kRunReady) return 1;
    const Rect& primary = run->areas[run->primary].rect;
    if (start == kRunRefused) ShowMinimumRefusal(program, primary.width, primary.height, bitsPerPixel);
    if (start == kRunFailed) {
        fprintf(stderr, "%s: the scene could not be set up (pictures missing or damaged)\n", program);
    }
    if (start == kRunOutOfMemory) fprintf(stderr, "%s: out of memory\n", program);
    EndRun(run, 1);
    return 0;
}
#endif
