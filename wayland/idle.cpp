// zarvo --idle: waits for the compositor to say the session has been idle
// for the time given, then covers the outputs through the full-screen run
// until the first input, frees every scene and buffer, and waits again.
// Idle inhibitors (a playing video) keep the compositor from saying so.
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/idle_watcher.h"
#include "wayland/wayland.h"
#ifdef ZARVO_EXT_IDLE
#include "wayland/ext-idle-notify-v1-client.h"
#endif
#ifdef ZARVO_KDE_IDLE
#include "wayland/idle-client.h"
#endif

struct ext_idle_notifier_v1;
struct ext_idle_notification_v1;
struct org_kde_kwin_idle;
struct org_kde_kwin_idle_timeout;

namespace {

// What the compositor offers for hearing of inactivity, and the one in use.
struct IdleWatch {
    WaylandHost* host;
    wl_registry* registry;
    ext_idle_notifier_v1* extNotifier;
    ext_idle_notification_v1* extNotification;
    org_kde_kwin_idle* kdeIdle;
    org_kde_kwin_idle_timeout* kdeTimeout;
    int idle;  // the compositor said so since the last cover began or ended
};

IdleWatch* Watch(void* data) { return static_cast<IdleWatch*>(data); }

[[maybe_unused]] int Ignored(const char* variable) {
    const char* value = getenv(variable);
    return value != nullptr && *value != '\0';
}

void OnGlobal(void* data, [[maybe_unused]] wl_registry* registry, [[maybe_unused]] uint32_t name,
              [[maybe_unused]] const char* interface, uint32_t) {
    [[maybe_unused]] IdleWatch* watch = Watch(data);
#ifdef ZARVO_EXT_IDLE
    if (strcmp(interface, ext_idle_notifier_v1_interface.name) == 0 && !Ignored("ZARVO_WAYLAND_NO_EXT_IDLE")) {
        watch->extNotifier =
            static_cast<ext_idle_notifier_v1*>(wl_registry_bind(registry, name, &ext_idle_notifier_v1_interface, 1));
    }
#endif
#ifdef ZARVO_KDE_IDLE
    if (strcmp(interface, org_kde_kwin_idle_interface.name) == 0 && !Ignored("ZARVO_WAYLAND_NO_KDE_IDLE")) {
        watch->kdeIdle =
            static_cast<org_kde_kwin_idle*>(wl_registry_bind(registry, name, &org_kde_kwin_idle_interface, 1));
    }
#endif
}

void OnGlobalRemove(void*, wl_registry*, uint32_t) {}

const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

#ifdef ZARVO_EXT_IDLE
void OnExtIdled(void* data, ext_idle_notification_v1*) { Watch(data)->idle = 1; }
void OnExtResumed(void* data, ext_idle_notification_v1*) { Watch(data)->idle = 0; }
const ext_idle_notification_v1_listener kExtListener = {OnExtIdled, OnExtResumed};
#endif
#ifdef ZARVO_KDE_IDLE
void OnKdeIdle(void* data, org_kde_kwin_idle_timeout*) { Watch(data)->idle = 1; }
void OnKdeResumed(void* data, org_kde_kwin_idle_timeout*) { Watch(data)->idle = 0; }
const org_kde_kwin_idle_timeout_listener kKdeListener = {OnKdeIdle, OnKdeResumed};
#endif

// Asks for word of `seconds` without input, through the standard protocol
// where offered. 1 when one is offered.
int WatchIdleTime([[maybe_unused]] IdleWatch* watch, int seconds) {
    [[maybe_unused]] const uint32_t ms = static_cast<uint32_t>(seconds) * 1000;
#ifdef ZARVO_EXT_IDLE
    if (watch->extNotifier != nullptr) {
        watch->extNotification = ext_idle_notifier_v1_get_idle_notification(watch->extNotifier, ms, watch->host->seat);
        ext_idle_notification_v1_add_listener(watch->extNotification, &kExtListener, watch);
        return 1;
    }
#endif
#ifdef ZARVO_KDE_IDLE
    if (watch->kdeIdle != nullptr) {
        watch->kdeTimeout = org_kde_kwin_idle_get_idle_timeout(watch->kdeIdle, watch->host->seat, ms);
        org_kde_kwin_idle_timeout_add_listener(watch->kdeTimeout, &kKdeListener, watch);
        return 1;
    }
#endif
    return 0;
}

void StopWatching(IdleWatch* watch) {
#ifdef ZARVO_EXT_IDLE
    if (watch->extNotification) ext_idle_notification_v1_destroy(watch->extNotification);
    if (watch->extNotifier) ext_idle_notifier_v1_destroy(watch->extNotifier);
#endif
#ifdef ZARVO_KDE_IDLE
    if (watch->kdeTimeout) org_kde_kwin_idle_timeout_release(watch->kdeTimeout);
    if (watch->kdeIdle) org_kde_kwin_idle_destroy(watch->kdeIdle);
#endif
    if (watch->registry) wl_registry_destroy(watch->registry);
    *watch = IdleWatch{};
}

// The idle protocols come from a registry of their own, so the full-screen
// run's connection code stays as it is. 1 when one is offered and watched.
int StartWatching(IdleWatch* watch, WaylandHost* host) {
    watch->host = host;
    watch->registry = wl_display_get_registry(host->display);
    wl_registry_add_listener(watch->registry, &kRegistryListener, watch);
    if (wl_display_roundtrip(host->display) < 0) return 0;
    if (host->seat == nullptr) {
        fprintf(stderr, "zarvo: the Wayland compositor offers no seat, so there is no input to be idle from\n");
        return 0;
    }
    if (WatchIdleTime(watch, host->options.idleSeconds)) return 1;
    fprintf(stderr,
            "zarvo: this Wayland compositor tells no client when the session is idle (it offers neither "
            "ext-idle-notify-v1 nor org_kde_kwin_idle; GNOME does not), so --idle cannot work here\n");
    return 0;
}

void Cover(WaylandHost* host) {
    StartRun(host);
    if (!CreateSurfaces(host)) EndRun(&host->run, 1);
}

// Nothing of the scene stays: the surfaces, their buffers and scenes go,
// and the heap's freed pages are handed back to the system.
void Uncover(WaylandHost* host) {
    for (int i = 0; i < host->outputCount; ++i) {
        if (host->outputs[i]->surface) DestroyWaylandSurface(host->outputs[i]->surface);
        host->outputs[i]->surface = nullptr;
    }
    if (host->window) DestroyWaylandSurface(host->window);
    host->window = nullptr;
    host->anchor.known = 0;
    EndScenes(&host->run);
    host->run.animating = 0;  // no tick is due while waiting: the wait blocks
    wl_display_flush(host->display);
    malloc_trim(0);
}

// Waits for the idle time, covers, and uncovers on input, until the end.
void WatchUntilEnded(IdleWatch* watch, WaylandHost* host) {
    while (!host->ended) {
        while (!watch->idle && !host->ended) WaitForWayland(host);
        if (host->ended) break;
        watch->idle = 0;
        Cover(host);
        RunTicks(host);
        Uncover(host);
        watch->idle = 0;
    }
}

int ClaimSession(IdleWatcherLock* lock) {
    char path[512] = "";
    long other = 0;
    const IdleClaim claim =
        SessionIdleWatcherLockPath(path, sizeof path) ? ClaimIdleWatcher(path, lock, &other) : kIdleClaimFailed;
    if (claim == kIdleClaimHeld) {
        if (other > 0) fprintf(stderr, "zarvo: an idle watcher already runs in this session (process %ld)\n", other);
        if (other <= 0) fprintf(stderr, "zarvo: an idle watcher already runs in this session\n");
        return 0;
    }
    if (claim == kIdleClaimFailed) {
        fprintf(stderr, "zarvo: cannot make the idle watcher's lock file %s; watching without it\n", path);
    }
    return 1;
}

WaylandHost host;  // listeners keep pointers into it for the whole run
IdleWatch watch;

}  // namespace

int RunWaylandIdle(const RunRequest& request) {
    IdleWatcherLock lock{-1, {}};
    if (!ClaimSession(&lock)) return 0;
    host = WaylandHost{};
    if (!SetUpWaylandHost(&host, request, kWaylandFullScreen)) {
        ReleaseIdleWatcher(&lock);
        return 1;
    }
    int status = 1;
    if (StartWatching(&watch, &host)) {
        WatchUntilEnded(&watch, &host);
        status = host.run.exitStatus;
    }
    StopWatching(&watch);
    DisconnectWayland(&host);
    EndScenes(&host.run);
    ReleaseIdleWatcher(&lock);
    return status;
}
