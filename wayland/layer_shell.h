// The generated layer-shell client code, whose get_layer_surface has an
// argument named "namespace": renamed while the C header is read as C++.
#pragma once

#define namespace layer_namespace
#include "wayland/wlr-layer-shell-unstable-v1-client.h"
#undef namespace
