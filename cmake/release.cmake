# The release build, what scripts/package.sh makes the packages from
# (presets release-linux and release-windows): the program alone, without
# test suites, benchmarks or fuzz targets and without the test hooks that
# every other build compiles in (LINEWICK_TEST_HOOKS, such as the updater's
# test CA bundle), and on Linux with Debian's hardening flags.
option(LINEWICK_RELEASE "The release build: the program only, no test hooks, hardened" OFF)
if(NOT LINEWICK_RELEASE)
  return()
endif()

foreach(part TESTS BENCH FUZZ)
  if(LINEWICK_${part})
    message(FATAL_ERROR "A release build (LINEWICK_RELEASE) has no LINEWICK_${part}")
  endif()
endforeach()

if(NOT WIN32)
  # hardening=+all: the stack protector, fortified C library calls, format
  # checks, read-only relocations bound at start (bindnow).
  find_program(LW_DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
  foreach(kind CPPFLAGS CFLAGS CXXFLAGS LDFLAGS)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
              ${LW_DPKG_BUILDFLAGS} --get ${kind}
      WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
      OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    # Optimisation and debug information come from the build type.
    separate_arguments(flags UNIX_COMMAND "${flags}")
    list(FILTER flags EXCLUDE REGEX "^-(g|O[0-9s]?)$")
    list(JOIN flags " " lw_release_${kind})
  endforeach()
  string(APPEND CMAKE_C_FLAGS " ${lw_release_CPPFLAGS} ${lw_release_CFLAGS}")
  string(APPEND CMAKE_CXX_FLAGS " ${lw_release_CPPFLAGS} ${lw_release_CXXFLAGS}")
  string(APPEND CMAKE_EXE_LINKER_FLAGS " ${lw_release_LDFLAGS}")
endif()
