// The GIF's frames: colour indices, changed rectangles and delays.
#include "render/gif_frames.h"

#include <algorithm>
#include <cstdlib>

uint8_t PaletteIndexer::IndexOf(uint32_t rgb) {
    const auto at = std::lower_bound(known_.begin(), known_.end(), rgb);
    const size_t slot = static_cast<size_t>(at - known_.begin());
    if (at != known_.end() && *at == rgb) return indices_[slot];
    const int best = NearestPaletteIndex(palette_, static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8),
                                         static_cast<uint8_t>(rgb));
    known_.insert(at, rgb);
    indices_.insert(indices_.begin() + static_cast<long>(slot), static_cast<uint8_t>(best < 0 ? 0 : best));
    return indices_[slot];
}

namespace {

// The smallest rectangle within `area` where the frames differ; empty when none.
Rect ChangedRect(const uint8_t* previous, const uint8_t* current, int width, Rect area) {
    int left = area.x + area.width, right = area.x - 1, top = area.y + area.height, bottom = area.y - 1;
    for (int y = area.y; y < area.y + area.height; ++y) {
        const size_t row = static_cast<size_t>(y) * static_cast<size_t>(width);
        for (int x = area.x; x < area.x + area.width; ++x) {
            if (previous[row + x] == current[row + x]) continue;
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
        }
    }
    if (right < left) return {area.x, area.y, 0, 0};
    return {left, top, right - left + 1, bottom - top + 1};
}

}  // namespace

GifPatch MakeGifPatch(const uint8_t* previous, const uint8_t* current, int width, Rect area) {
    GifPatch patch{area, -1, {}};
    if (previous != nullptr) patch.rect = ChangedRect(previous, current, width, area);
    if (patch.rect.width == 0) {
        // One pixel, transparent: the frame keeps its place in time.
        patch.rect = {area.x, area.y, 1, 1};
        patch.transparent = 0;
        patch.pixels = {0};
        return patch;
    }
    const Rect r = patch.rect;
    bool used[kColorCount] = {};
    patch.pixels.reserve(static_cast<size_t>(r.width) * static_cast<size_t>(r.height));
    for (int y = r.y; y < r.y + r.height; ++y) {
        const size_t row = static_cast<size_t>(y) * static_cast<size_t>(width);
        for (int x = r.x; x < r.x + r.width; ++x) {
            patch.pixels.push_back(current[row + x]);
            if (previous != nullptr && previous[row + x] != current[row + x]) used[current[row + x]] = true;
        }
    }
    if (previous == nullptr) return patch;
    const bool* unused = std::find(used, used + kColorCount, false);
    // Every index changed somewhere: the rectangle is drawn whole.
    if (unused == used + kColorCount) return patch;
    patch.transparent = static_cast<int>(unused - used);
    size_t i = 0;
    for (int y = r.y; y < r.y + r.height; ++y) {
        const size_t row = static_cast<size_t>(y) * static_cast<size_t>(width);
        for (int x = r.x; x < r.x + r.width; ++x, ++i) {
            if (previous[row + x] == current[row + x]) patch.pixels[i] = static_cast<uint8_t>(patch.transparent);
        }
    }
    return patch;
}

int GifDelayCentiseconds(int periodMs) { return std::max(2, (periodMs + 5) / 10); }
