// The GIF file through giflib's streaming calls.
#include "render/gif_file.h"

#include <fcntl.h>
#include <gif_lib.h>
#include <unistd.h>

#include <cstring>

namespace {

// Application extension that makes browsers loop the animation for ever.
int PutLoopForever(GifFileType* file) {
    static const char kName[] = "NETSCAPE2.0";
    static const unsigned char kLoop[] = {1, 0, 0};
    return EGifPutExtensionLeader(file, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
           EGifPutExtensionBlock(file, 11, kName) == GIF_OK && EGifPutExtensionBlock(file, 3, kLoop) == GIF_OK &&
           EGifPutExtensionTrailer(file) == GIF_OK;
}

int PutPatch(GifFileType* file, const GifPatch& patch, int delay) {
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT;  // each frame draws over the last
    control.UserInputFlag = false;
    control.DelayTime = delay;
    control.TransparentColor = patch.transparent < 0 ? NO_TRANSPARENT_COLOR : patch.transparent;
    GifByteType extension[4];
    const size_t length = EGifGCBToExtension(&control, extension);
    if (EGifPutExtension(file, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) != GIF_OK) return 0;
    const Rect r = patch.rect;
    if (EGifPutImageDesc(file, r.x, r.y, r.width, r.height, false, nullptr) != GIF_OK) return 0;
    std::vector<GifByteType> row(static_cast<size_t>(r.width));
    for (int y = 0; y < r.height; ++y) {
        std::memcpy(row.data(), patch.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(r.width),
                    row.size());
        if (EGifPutLine(file, row.data(), r.width) != GIF_OK) return 0;
    }
    return 1;
}

}  // namespace

GifWriter* OpenGif(const char* path, int width, int height, const uint32_t table[kColorCount]) {
    int error = 0;
    // giflib's own open makes the file readable by its owner alone.
    const int handle = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (handle < 0) return nullptr;
    GifFileType* file = EGifOpenFileHandle(handle, &error);
    if (file == nullptr) {
        close(handle);
        return nullptr;
    }
    EGifSetGifVersion(file, true);
    GifColorType colours[kColorCount];
    for (int i = 0; i < kColorCount; ++i) {
        colours[i] = {static_cast<GifByteType>(table[i] >> 16), static_cast<GifByteType>(table[i] >> 8),
                      static_cast<GifByteType>(table[i])};
    }
    ColorMapObject* map = GifMakeMapObject(kColorCount, colours);
    const bool ok =
        map != nullptr && EGifPutScreenDesc(file, width, height, 8, 0, map) == GIF_OK && PutLoopForever(file);
    GifFreeMapObject(map);
    if (!ok) {
        EGifCloseFile(file, &error);
        return nullptr;
    }
    return new GifWriter{file, width, height, {}};
}

int AddGifFrame(GifWriter& writer, const std::vector<uint8_t>& frame, Rect area, int delay) {
    const bool first = writer.previous.empty();
    if (first) area = {0, 0, writer.width, writer.height};
    if (area.width <= 0 || area.height <= 0) area = {0, 0, 0, 0};
    const GifPatch patch = MakeGifPatch(first ? nullptr : writer.previous.data(), frame.data(), writer.width, area);
    writer.previous = frame;
    return PutPatch(writer.file, patch, delay);
}

int CloseGif(GifWriter* writer) {
    int error = 0;
    const int ok = EGifCloseFile(writer->file, &error) == GIF_OK;
    delete writer;
    return ok;
}
