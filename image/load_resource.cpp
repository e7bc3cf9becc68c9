// Loading of the program's bitmap resources by id. Kept apart from the DIB
// loader so that programs which only decode bytes need no bitmap table.
#include "image/image.h"
#include "image/ports.h"

Image* LoadBitmapResource(int id) {
    const uint8_t* data = nullptr;
    size_t size = 0;
    if (!FindBitmapResource(id, &data, &size)) return nullptr;
    return LoadBitmapFromDib(data, size);
}
