// The picture sizes in one table: what every place that offers or reads a
// picture size takes from (the options and both programs' --help, the
// Display file, the Windows dialog, the web page) or is generated from
// (zarvo.xml and the man pages, by tools/picture_size_text.cpp). A new size
// is a row in picture_sizes.cpp and its placement in image/screen_fit.cpp.
#pragma once

#include "image/picture_size.h"

// The texts are held in the row, not pointed to, so the table needs no
// relocation and stays in read-only memory.
struct PictureSizeEntry {
    PictureSize size;  // its stored number (REG_DWORD PictureSize)
    // The command line's, the Display file's and XScreenSaver's name.
    char name[16];
    // An earlier name of the same size, still read wherever a name is read
    // (a stored Display file, an XScreenSaver entry, a command line); "" for
    // none.
    char oldName[16];
    // The word the Windows dialog shows, Windows' own where it has one; the
    // web page's too.
    char label[16];
    // What it shows, in a few words without a full stop.
    char help[64];
};

// Row i is the size numbered i (settings/picture_sizes.cpp checks it).
extern const PictureSizeEntry kPictureSizes[kPictureSizeCount];

// The row of `size`; the first row's (centred) for a number no size has.
inline const PictureSizeEntry& PictureSizeEntryOf(PictureSize size) {
    return size >= 0 && size < kPictureSizeCount ? kPictureSizes[size] : kPictureSizes[0];
}
