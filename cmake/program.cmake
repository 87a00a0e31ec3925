# The program itself: main_<platform>.cpp over the application and its host.
set(program_libs lw_app)
foreach(lib lw_host lw_ui lw_update)
  if(TARGET ${lib})
    list(APPEND program_libs ${lib})
  endif()
endforeach()
if(WIN32)
  file(GLOB win_res CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/*.rc)
  add_executable(linewick WIN32 src/main_win32.cpp ${win_res})
  target_link_options(linewick PRIVATE -municode)
else()
  add_executable(linewick src/main_linux.cpp)
  # The one application id: the window's class and app id, the desktop
  # entry's file name and StartupWMClass, the AppStream id.
  target_compile_definitions(linewick PRIVATE LINEWICK_APP_ID="${LINEWICK_APP_ID}")
endif()
target_link_libraries(linewick PRIVATE ${program_libs} lw_warnings)
target_include_directories(linewick PRIVATE ${CMAKE_SOURCE_DIR}/src)
