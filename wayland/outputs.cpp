// The outputs: each one listed gets its place in the order (which picks its
// scene's seed) and, in the full-screen and background runs, a surface of its
// own once the compositor has described it; one that goes away is freed.
#include <cstdlib>

#include "wayland/wayland.h"

namespace {

WaylandOutput* Output(void* data) { return static_cast<WaylandOutput*>(data); }

void OnGeometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*, const char*, int32_t) {}
void OnMode(void*, wl_output*, uint32_t, int32_t, int32_t, int32_t) {}

// A scale that changes during the run reaches a shown surface at its next
// configure; the layer surfaces are made only once the scale is known.
void OnDone(void* data, wl_output*) {
    WaylandOutput* output = Output(data);
    WaylandHost* host = output->host;
    const int wantsSurface = host->kind != kWaylandWindow && host->layerShell != nullptr;
    if (!output->ready && wantsSurface && host->run.running) output->surface = CreateLayerSurface(host, output);
    output->ready = 1;
    if (host->window) RescaleWindow(host->window);
    if (output->surface && output->surface->scale != output->scale) {
        output->surface->scale = output->scale;
        if (output->surface->configured) ShowConfiguredSurface(output->surface);
    }
}

void OnScale(void* data, wl_output*, int32_t factor) { Output(data)->scale = factor > 0 ? factor : 1; }

void OnText(void*, wl_output*, const char*) {}

const wl_output_listener kOutputListener = {OnGeometry, OnMode, OnDone, OnScale, OnText, OnText};

void FreeOutput(WaylandOutput* output) {
    if (output->surface) DestroyWaylandSurface(output->surface);
    if (wl_output_get_version(output->output) >= WL_OUTPUT_RELEASE_SINCE_VERSION) {
        wl_output_release(output->output);
    } else {
        wl_output_destroy(output->output);
    }
    free(output);
}

}  // namespace

void AddOutput(WaylandHost* host, uint32_t globalName, uint32_t version) {
    if (host->outputCount == kMaxMonitors) return;  // the rest stay as they are
    WaylandOutput* output = static_cast<WaylandOutput*>(calloc(1, sizeof(WaylandOutput)));
    if (output == nullptr) return;
    const uint32_t bound = version < 3 ? version : 3;
    output->output = static_cast<wl_output*>(wl_registry_bind(host->registry, globalName, &wl_output_interface, bound));
    output->host = host;
    output->globalName = globalName;
    output->scale = 1;
    wl_output_add_listener(output->output, &kOutputListener, output);
    host->outputs[host->outputCount++] = output;
    // Version 1 sends no done: the output counts as described at once.
    if (bound < WL_OUTPUT_DONE_SINCE_VERSION) OnDone(output, output->output);
}

void RemoveOutput(WaylandHost* host, uint32_t globalName) {
    for (int i = 0; i < host->outputCount; ++i) {
        if (host->outputs[i]->globalName != globalName) continue;
        FreeOutput(host->outputs[i]);
        for (int k = i + 1; k < host->outputCount; ++k) host->outputs[k - 1] = host->outputs[k];
        host->outputs[--host->outputCount] = nullptr;
        return;
    }
}

void FreeOutputs(WaylandHost* host) {
    for (int i = 0; i < host->outputCount; ++i) FreeOutput(host->outputs[i]);
    host->outputCount = 0;
}
