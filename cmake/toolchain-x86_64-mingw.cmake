# The 64-bit test build. Its programs run through the 64-bit loader itself:
# the `wine` script would pick the 32-bit loader, which a machine without
# 32-bit support cannot start.
set(dwx_mingw_target x86_64)
find_program(dwx_wine_loader NAMES wine64 PATHS /usr/lib/wine /usr/lib64/wine NO_DEFAULT_PATH
             REQUIRED)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
