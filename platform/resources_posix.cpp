// Bitmap lookup for programs without Windows resources: the DIBs built into
// the program by zarvo_embed_bitmaps, found by their resource ids.
#include "image/ports.h"
#include "platform/embedded_bitmaps.h"

int FindBitmapResource(int id, const uint8_t** data, size_t* size) {
    for (int i = 0; i < embeddedBitmapCount; ++i) {
        if (embeddedBitmaps[i].id != id) continue;
        *data = embeddedBitmaps[i].data;
        *size = embeddedBitmaps[i].size;
        return 1;
    }
    return 0;
}
