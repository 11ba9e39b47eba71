# The 64-bit test build, run under Wine's 64-bit loader itself: the `wine`
# script would pick the 32-bit loader, which a machine without 32-bit support
# cannot start.
set(dwx_mingw_target x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
