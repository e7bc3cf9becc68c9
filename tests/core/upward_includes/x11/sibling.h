// An x11 file that includes its sibling host.
#include "wayland/wayland.h"
#include "app/scene_run.h"
