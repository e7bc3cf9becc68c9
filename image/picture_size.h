// The picture-size setting on its own, for the settings that store it and
// the fit that applies it. Its names, labels and help are in
// settings/picture_sizes.h.
#pragma once

#include <cstdint>

// How large the picture is shown; the stored values are these numbers.
enum PictureSize : int32_t {
    kPictureCentred = 0,         // one screen pixel per picture pixel
    kPictureWholeMultiples = 1,  // the largest whole multiple that fits
    kPictureFit = 2,             // the largest size of the same shape that fits
                                 // (on a smaller screen: shrunk, nearest-neighbour)
    kPictureCover = 3,           // the smallest size of the same shape that covers
                                 // the screen, cropped (the strip kept whole)
    kPictureSizeCount = 4,
};
