# The product: 32-bit Windows, run under Wine's 32-bit loader (the `wine`
# script picks it).
set(dwx_mingw_target i686)
find_program(dwx_wine_loader NAMES wine REQUIRED)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
