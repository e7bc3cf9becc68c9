set(ZARVO_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
# The 64-bit loader itself: Debian's `wine` starts the 32-bit loader first,
# which machines that cannot run 32-bit programs refuse.
set(ZARVO_WINE_LOADER /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
