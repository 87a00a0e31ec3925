# Warnings are errors on both toolchains.
add_library(lw_warnings INTERFACE)
target_compile_options(lw_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
  -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Woverloaded-virtual
  -Wimplicit-fallthrough -Werror)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # GCC 12 reports false positives from inlined standard containers.
  target_compile_options(lw_warnings INTERFACE -Wno-maybe-uninitialized -Wno-stringop-overflow -Wno-array-bounds)
endif()
if(WIN32)
  target_compile_definitions(lw_warnings INTERFACE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00)
endif()
