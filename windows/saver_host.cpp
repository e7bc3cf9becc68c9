// The host's one record, in a file of its own: the password hooks and the
// fault guard use it without linking the saver window and the scene.
#include "windows/windows_host.h"

WindowsHost windowsHost = {nullptr, nullptr, 0, 0, 0, 0, {}, kNoPasswordCheckYet, nullptr, nullptr};
