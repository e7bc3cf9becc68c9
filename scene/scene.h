// The animated scene as a host drives it: set-up at the first paint, the
// whole picture on a paint, one frame per timer tick.
#pragma once
// (declarations added by the scene's own work)
