# The program's version has one home, kProgramVersion in src/update/version.h;
# the project, the resources and the packages take it from there.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../src/update/version.h lw_version_line
     REGEX "kProgramVersion = \"")
if(NOT lw_version_line MATCHES "\"([0-9]+)\\.([0-9]+)\\.([0-9]+)\"")
  message(FATAL_ERROR "no kProgramVersion \"X.Y.Z\" in src/update/version.h")
endif()
set(LINEWICK_VERSION ${CMAKE_MATCH_1}.${CMAKE_MATCH_2}.${CMAKE_MATCH_3})
unset(lw_version_line)
