# Shared by the two Windows toolchains. The posix-thread compilers are the ones
# whose libstdc++ has std::mutex, which GoogleTest needs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${ZARVO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZARVO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZARVO_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZARVO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# ctest runs the Windows test programs through Wine, with the loader of their
# architecture (see ZARVO_WINE_LOADER in the toolchain files).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${ZARVO_WINE_LOADER})
