// The picture sizes' table.
#include "settings/picture_sizes.h"

constexpr PictureSizeEntry kPictureSizes[kPictureSizeCount] = {
    {kPictureCentred, "centred", "", "Centred", "one screen pixel per picture pixel"},
    {kPictureWholeMultiples, "whole-multiples", "", "Whole multiples",
     "the largest whole multiple that fits, in sharp blocks"},
    {kPictureFit, "fit", "fill", "Fit", "the whole picture as large as fits, black beside it"},
    {kPictureCover, "cover", "", "Fill", "fills the screen, the picture's edges cropped"},
};

namespace {

constexpr bool PictureSizesAreInNumberOrder() {
    for (int i = 0; i < kPictureSizeCount; ++i) {
        if (kPictureSizes[i].size != i) return false;
    }
    return true;
}
static_assert(PictureSizesAreInNumberOrder(), "row i of kPictureSizes is the size numbered i");

}  // namespace
