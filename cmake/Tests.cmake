# Helpers for the test programs: Windows programs run under Wine by CTest (it
# puts the cross-compiling emulator in front of them), native ones under the
# sanitizers. One CTest entry per program: a Wine start costs seconds.
#
# Every test of a build carries that build's label, which scripts/test.sh
# runs with `ctest -L`: native, fuzz, win32 or win64. The Wine fixtures'
# entries carry the label "fixture" too: they are not test programs. Each
# program leaves its results in test-results/ of its build.
if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(DWX_TEST_LABEL win64)
elseif(WIN32)
  set(DWX_TEST_LABEL win32)
elseif(DWX_FUZZ)
  set(DWX_TEST_LABEL fuzz)
else()
  set(DWX_TEST_LABEL native)
endif()
# Every test added from here on and below, in any directory.
set_property(DIRECTORY PROPERTY LABELS ${DWX_TEST_LABEL})
set(DWX_TEST_RESULTS ${CMAKE_BINARY_DIR}/test-results)

# The environment of a Windows test program run with the Wine prefix and
# HOME given, into the variable named `out`. Its sound goes through ALSA, as
# HOME's .asoundrc says, or with PULSE through PulseAudio: one driver is
# switched off, so that neither is taken for the other.
#   dwx_wine_environment(out prefix home [PULSE])
function(dwx_wine_environment out prefix home)
  cmake_parse_arguments(ARG "PULSE" "" "" ${ARGN})
  set(off winepulse.drv)
  if(ARG_PULSE)
    set(off winealsa.drv)
  endif()
  set(${out}
      WINEPREFIX=${prefix}
      HOME=${home}
      WINEDEBUG=-all
      WINEDLLOVERRIDES=mscoree,mshtml,winedbg.exe,${off}=
      # Each program leaves its results here, for the scripts' summary. Wine's
      # drive Z: is the Linux root; a path without a drive would be taken as
      # relative to the program's folder.
      GTEST_OUTPUT=xml:Z:${DWX_TEST_RESULTS}/
      PARENT_SCOPE)
endfunction()

if(WIN32)
  if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
    message(FATAL_ERROR "No Wine loader: configure with -DDWX_WINE_LOADER=<loader>, as "
                        "scripts/build.sh does")
  endif()
  # Each build has its own prefix: a 32-bit one in build/, a 64-bit one in
  # build/win64/. Both share one test HOME, given by the scripts.
  set(DWX_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  set(DWX_TEST_HOME ${CMAKE_BINARY_DIR}/test-home CACHE PATH "The HOME the Wine tests run with")
  # A private prefix and a private HOME whose .asoundrc makes ALSA's default
  # device a null one: Wine's winmm then shows the same two mixer devices on
  # every machine. The user's own prefix and ~/.asoundrc are never touched.
  dwx_wine_environment(DWX_WINE_ENVIRONMENT ${DWX_WINE_PREFIX} ${DWX_TEST_HOME})
  # The same for the scripts that run this build's programs outside CTest
  # (run.sh, bench.sh, soak.sh): sourced by scripts/display.sh.
  file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/wine-environment.sh CONTENT
"# Where this build's Windows programs run under Wine; written by cmake/Tests.cmake.
dwx_wine='${CMAKE_CROSSCOMPILING_EMULATOR}'
dwx_wine_prefix='${DWX_WINE_PREFIX}'
dwx_bin='${CMAKE_BINARY_DIR}/bin'
")
endif()

# Test code builds for a quick compile: what it measures is the component's
# behaviour, never its own speed, and at -O2 with full debug information the
# test programs and GoogleTest made most of a Windows build's time. Line
# tables stay, for backtraces. The component, utf8api, the stand-in host,
# the shell, the test support library (the benchmarks use it) and the
# benchmarks keep the build type's flags.
function(dwx_quick_build)
  if(WIN32)
    foreach(target ${ARGN})
      target_compile_options(${target} PRIVATE -Og -g1)
    endforeach()
  endif()
endfunction()

# A test program made of the given sources, linked with GoogleTest.
#   dwx_add_test(name SOURCES a.cpp b.cpp LIBS lib... [NO_GTEST_MAIN])
function(dwx_add_test name)
  cmake_parse_arguments(ARG "NO_GTEST_MAIN" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE dwx_flags ${ARG_LIBS} gtest)
  if(NOT ARG_NO_GTEST_MAIN)
    target_link_libraries(${name} PRIVATE gtest_main)
  endif()
  dwx_quick_build(${name})
  add_test(NAME ${name} COMMAND ${name})
  if(WIN32)
    target_link_options(${name} PRIVATE -static)
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "${DWX_WINE_ENVIRONMENT}"
        FIXTURES_REQUIRED wine
        TIMEOUT 900)
  else()
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "ASAN_OPTIONS=allocator_may_return_null=1:detect_leaks=1;UBSAN_OPTIONS=print_stacktrace=1;GTEST_OUTPUT=xml:${DWX_TEST_RESULTS}/"
        TIMEOUT 300)
  endif()
endfunction()

# Creates the private prefix and HOME before the first Wine test, keeps one
# wineserver running for all of them, and stops it after the last: the
# fixture "wine", made of the tests wine_start and wine_stop.
#   dwx_add_wine_fixture([NAME fixture PREFIX dir HOME dir CAPTURE file])
# makes another fixture of that name, with a prefix and HOME of its own whose
# sound output lands in the file CAPTURE.
function(dwx_add_wine_fixture)
  cmake_parse_arguments(ARG "" "NAME;PREFIX;HOME;CAPTURE" "" ${ARGN})
  if(NOT ARG_NAME)
    set(ARG_NAME wine)
    set(ARG_PREFIX ${DWX_WINE_PREFIX})
    set(ARG_HOME ${DWX_TEST_HOME})
  endif()
  foreach(action start stop)
    add_test(NAME ${ARG_NAME}_${action}
             COMMAND ${CMAKE_SOURCE_DIR}/tests/wine-fixture.sh ${action} ${ARG_PREFIX} ${ARG_HOME}
                     ${CMAKE_CROSSCOMPILING_EMULATOR} ${ARG_CAPTURE})
    set_property(TEST ${ARG_NAME}_${action} APPEND PROPERTY LABELS fixture)
  endforeach()
  # Room for one retry of the prefix's creation.
  set_tests_properties(${ARG_NAME}_start PROPERTIES FIXTURES_SETUP ${ARG_NAME} TIMEOUT 900)
  set_tests_properties(${ARG_NAME}_stop PROPERTIES FIXTURES_CLEANUP ${ARG_NAME} TIMEOUT 60)
endfunction()
