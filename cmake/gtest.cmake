# GoogleTest: the Debian package's libraries on Linux; for the Windows build,
# the sources Debian ships in /usr/src/googletest, built with the cross compiler.
# No test uses gMock, so neither build has it.
if(WIN32)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  add_library(lw_gtest_main INTERFACE)
  target_link_libraries(lw_gtest_main INTERFACE gtest_main)
else()
  find_package(GTest REQUIRED)
  add_library(lw_gtest_main INTERFACE)
  target_link_libraries(lw_gtest_main INTERFACE GTest::gtest_main GTest::gtest)
endif()
