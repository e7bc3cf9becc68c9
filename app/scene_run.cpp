// The host-neutral part of a run: areas' scenes, their refusals, the timer
// and the frame counts.
#include "app/scene_run.h"

#include <cstdio>

#include "app/frame_clock.h"
#include "platform/services.h"

void EndRun(SceneRun* run, int status) {
    run->running = 0;
    run->exitStatus = status;
}

int StartAreaScene(SceneRun* run, const MonitorPlan& plan, const AreaSetUp& setUp, SceneArea* area) {
    area->rect = plan.rect;
    if (!plan.showsScene) return 1;
    SceneWindowInfo info{plan.rect.width, plan.rect.height, setUp.screenWidth, setUp.bitsPerPixel, nullptr};
    PictureSize pictureSize = setUp.pictureSize;
    if (setUp.shrinkSmall) info = ShrinkSmallArea(info, &pictureSize);
    const SceneSetUp made = SetUpScene(info, *setUp.settings, plan.seed);
    if (made.scene != nullptr) {
        area->scene = made.scene;
        area->view = CreateScreenView(made.scene, pictureSize, plan.rect.width, plan.rect.height);
        if (area->view == nullptr) {
            fprintf(stderr, "zarvo: out of memory\n");
            EndRun(run, 1);
            return 0;
        }
        if (plan.primary || run->lead == nullptr) run->lead = made.scene;
        return 1;
    }
    if (!plan.primary) return 1;
    if (made.outcome == kSceneRefused) {
        ShowMinimumRefusal("zarvo", plan.rect.width, plan.rect.height, setUp.bitsPerPixel);
    }
    if (made.outcome == kSceneFailed) {
        fprintf(stderr, "zarvo: the scene could not be set up (pictures missing or damaged)\n");
    }
    EndRun(run, 1);
    return 0;
}

void StartFrames(SceneRun* run, int64_t nowMs) {
    run->sceneFramesDrawn = 0;
    run->animating = run->lead != nullptr && SceneAnimates(*run->lead) && run->stillAfter != 0;
    if (run->lead != nullptr) run->nextFrameMs = nowMs + HostFramePeriod(*run->lead);
    if (run->lead != nullptr && run->frameLimit == 0) EndRun(run, 0);
}

void EndAreaScene(SceneRun* run, int index) {
    SceneArea* area = &run->areas[index];
    const bool timedFrames = area->scene != nullptr && run->lead == area->scene;
    DestroyScreenView(area->view);
    DestroyScene(area->scene);
    *area = SceneArea{};
    if (!timedFrames) return;
    run->lead = nullptr;
    for (int i = 0; i < run->areaCount && run->lead == nullptr; ++i) run->lead = run->areas[i].scene;
    if (run->lead == nullptr) run->animating = 0;
}

void EndScenes(SceneRun* run) {
    for (int i = 0; i < kMaxMonitors; ++i) EndAreaScene(run, i);
    run->areaCount = 0;
    run->lead = nullptr;
}

int MillisecondsUntilFrame(const SceneRun& run, int64_t nowMs) {
    if (!run.animating) return -1;
    const int64_t wait = run.nextFrameMs - nowMs;
    if (wait < 0) return 0;
    return wait > 1000000 ? 1000000 : static_cast<int>(wait);
}

int TakeDueFrame(SceneRun* run, int64_t nowMs) {
    if (!run->animating || nowMs < run->nextFrameMs) return 0;
    run->nextFrameMs += HostFramePeriod(*run->lead);
    if (run->nextFrameMs < nowMs) run->nextFrameMs = nowMs;
    return 1;
}

void CountFrame(SceneRun* run) {
    ++run->framesDrawn;
    ++run->sceneFramesDrawn;
    if (run->stillAfter >= 0 && run->sceneFramesDrawn >= run->stillAfter) run->animating = 0;
    if (run->frameLimit >= 0 && run->framesDrawn >= run->frameLimit) EndRun(run, 0);
}
