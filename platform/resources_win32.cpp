// Bitmap resources on Windows: those of the program's own module.
#include <windows.h>

#include "image/ports.h"

int FindBitmapResource(int id, const uint8_t** data, size_t* size) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2));  // RT_BITMAP
    if (!found) return 0;
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded) return 0;
    const void* bytes = LockResource(loaded);
    DWORD length = SizeofResource(module, found);
    if (!bytes || length == 0) return 0;
    // Module resources stay mapped while the module is loaded; FreeResource
    // has nothing to release on Win32.
    *data = static_cast<const uint8_t*>(bytes);
    *size = length;
    return 1;
}
