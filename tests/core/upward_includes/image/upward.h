// A core file whose includes point upward, for the layer check to find: the
// platform's old port header and a core folder above image/. Its own port
// header is allowed.
#pragma once

#include "image/ports.h"
#include "platform/ports.h"
#include "scene/scene.h"
