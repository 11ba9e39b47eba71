# What both toolchain files share: Debian's MinGW-w64 compilers of the posix
# thread model (GoogleTest needs std::mutex) for the target `dwx_mingw_target`
# (i686 or x86_64), and Wine, the loader given as DWX_WINE_LOADER, to run
# what they build. scripts/platform.sh names each build's loader and
# scripts/build.sh passes it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${dwx_mingw_target})

set(CMAKE_C_COMPILER ${dwx_mingw_target}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${dwx_mingw_target}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${dwx_mingw_target}-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${dwx_mingw_target}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# The compiler checks build in projects of their own, which are not given the
# loader and need none.
if(DWX_WINE_LOADER)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${DWX_WINE_LOADER})
endif()
