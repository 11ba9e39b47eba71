# The product: 32-bit Windows, run under Wine's 32-bit loader.
set(dwx_mingw_target i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
