// The picture-size setting on its own, for the settings that store it and
// the fit that applies it.
#pragma once

#include <cstdint>

// How large the picture is shown; the stored values are these numbers.
enum PictureSize : int32_t {
    kPictureCentred = 0,         // one screen pixel per picture pixel
    kPictureWholeMultiples = 1,  // the largest whole multiple that fits
    kPictureFill = 2,            // the largest size of the same shape that fits
                                 // (on a smaller screen: shrunk, nearest-neighbour)
    kPictureSizeCount = 3,
};
