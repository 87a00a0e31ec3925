# Release artefacts: the program icon, rendered from the plug icon by
# tools/icon; on Windows the resources and the NSIS installer (target
# `installer`), on Linux the install rules behind the CPack .deb.
set(LW_ICON_PNG_SIZES 16 20 22 24 32 40 48 64 128 256)
set(LW_ICON_ICO_SIZES 16 20 24 32 40 48 64 256)
set(LW_ICON_HICOLOR_SIZES 16 22 24 32 48 64 128 256)
string(REPLACE ";" "," lw_png_arg "${LW_ICON_PNG_SIZES}")
string(REPLACE ";" "," lw_ico_arg "${LW_ICON_ICO_SIZES}")

if(NOT WIN32)
  add_subdirectory(tools/icon)
  set(LW_ICON_DIR ${CMAKE_BINARY_DIR}/icons)
  set(lw_icon_outputs ${LW_ICON_DIR}/linewick.ico)
  foreach(size IN LISTS LW_ICON_PNG_SIZES)
    list(APPEND lw_icon_outputs ${LW_ICON_DIR}/linewick-${size}.png)
  endforeach()
  add_custom_command(OUTPUT ${lw_icon_outputs}
    COMMAND make_icons ${LW_ICON_DIR} --png ${lw_png_arg} --ico ${lw_ico_arg}
    DEPENDS make_icons
    COMMENT "Rendering the program icon")
  add_custom_target(program_icons ALL DEPENDS ${lw_icon_outputs})
else()
  # The icon tool draws with cairo, so a host build of it makes the icon for
  # the cross build. It configures this same tree for the build machine.
  include(ExternalProject)
  set(lw_host_dir ${CMAKE_BINARY_DIR}/host-tools)
  set(LW_ICON_DIR ${lw_host_dir}/icons)
  ExternalProject_Add(host_icons
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${lw_host_dir}
    CMAKE_GENERATOR Ninja
    # The optimisation level the Linux presets are warning-free at, without -g.
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG"
               "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG" -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++
               -DLINEWICK_TESTS=OFF -DLINEWICK_BENCH=OFF -DLINEWICK_FUZZ=OFF
    BUILD_COMMAND ${CMAKE_COMMAND} --build ${lw_host_dir} --target program_icons
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS ${LW_ICON_DIR}/linewick.ico)
endif()

if(NOT TARGET linewick)
  return()
endif()

if(WIN32)
  set(LW_RC_ICON ${LW_ICON_DIR}/linewick.ico)
  set(LW_RC_MANIFEST ${CMAKE_BINARY_DIR}/res/linewick.manifest)
  configure_file(${CMAKE_SOURCE_DIR}/res/linewick.manifest.in ${LW_RC_MANIFEST} @ONLY)
  configure_file(${CMAKE_SOURCE_DIR}/res/linewick.rc.in ${CMAKE_BINARY_DIR}/res/linewick.rc @ONLY)
  target_sources(linewick PRIVATE ${CMAKE_BINARY_DIR}/res/linewick.rc)
  set_source_files_properties(${CMAKE_BINARY_DIR}/res/linewick.rc PROPERTIES
    OBJECT_DEPENDS "${LW_RC_ICON};${LW_RC_MANIFEST}")
  add_dependencies(linewick host_icons)

  install(TARGETS linewick RUNTIME DESTINATION . COMPONENT program)

  # Where the update document says the installer is: beside the document.
  string(REGEX REPLACE "update\\.json$" "" lw_download_base "${LINEWICK_UPDATE_URL}")
  set(LINEWICK_DOWNLOAD_URL "${lw_download_base}Linewick-Setup-${PROJECT_VERSION}.exe" CACHE STRING
      "Address of the installer written into the update document")
  # The Linux program points its users here (the document's "linux" entry).
  set(LINEWICK_LINUX_DOWNLOAD_PAGE "${lw_download_base}" CACHE STRING
      "Address of the download page for Linux written into the update document")
  foreach(address LINEWICK_DOWNLOAD_URL LINEWICK_LINUX_DOWNLOAD_PAGE)
    if(NOT ${address} MATCHES "^https://[A-Za-z0-9]")
      message(FATAL_ERROR "${address} must be an https address")
    endif()
  endforeach()
  # Signing: set LINEWICK_SIGN_CERT and LINEWICK_SIGN_KEY in the environment
  # of the build (see packaging/windows/sign.sh).
  add_custom_target(installer
    COMMAND bash ${CMAKE_SOURCE_DIR}/packaging/windows/build_installer.sh
            ${CMAKE_BINARY_DIR} ${PROJECT_VERSION} ${LW_ICON_DIR}/linewick.ico
            ${LINEWICK_DOWNLOAD_URL} ${LINEWICK_LINUX_DOWNLOAD_PAGE}
    DEPENDS linewick
    COMMENT "Building Linewick-Setup-${PROJECT_VERSION}.exe and update.json"
    VERBATIM)
else()
  include(GNUInstallDirs)
  install(TARGETS linewick RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT program)
  install(FILES ${CMAKE_SOURCE_DIR}/res/${LINEWICK_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT program)
  foreach(size IN LISTS LW_ICON_HICOLOR_SIZES)
    install(FILES ${LW_ICON_DIR}/linewick-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME linewick.png COMPONENT program)
  endforeach()
  # The release's date is the one its changelog entry was written on.
  include(${CMAKE_SOURCE_DIR}/packaging/linux/release_date.cmake)
  lw_release_date(${CMAKE_SOURCE_DIR}/packaging/linux/changelog ${PROJECT_VERSION} LW_RELEASE_DATE)
  set(lw_pkg ${CMAKE_BINARY_DIR}/packaging)
  configure_file(${CMAKE_SOURCE_DIR}/packaging/linux/${LINEWICK_APP_ID}.metainfo.xml.in
                 ${lw_pkg}/${LINEWICK_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${lw_pkg}/${LINEWICK_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT program)

  # What Debian asks of every package: the copyright in machine-readable
  # form, the changelog and a manual page, compressed without time stamps.
  # The maker packages the program itself (a native package, version
  # without a Debian revision), so the changelog is changelog.gz.
  configure_file(${CMAKE_SOURCE_DIR}/packaging/linux/linewick.1.in ${lw_pkg}/linewick.1 @ONLY)
  add_custom_command(OUTPUT ${lw_pkg}/changelog.gz ${lw_pkg}/linewick.1.gz
    COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/packaging/linux/changelog > ${lw_pkg}/changelog.gz
    COMMAND gzip -9nc ${lw_pkg}/linewick.1 > ${lw_pkg}/linewick.1.gz
    DEPENDS ${CMAKE_SOURCE_DIR}/packaging/linux/changelog ${lw_pkg}/linewick.1
    COMMENT "Compressing the changelog and the manual page")
  add_custom_target(package_docs ALL DEPENDS ${lw_pkg}/changelog.gz ${lw_pkg}/linewick.1.gz)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/linux/copyright ${lw_pkg}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/linewick COMPONENT program)
  install(FILES ${lw_pkg}/linewick.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT program)
  include(${CMAKE_SOURCE_DIR}/packaging/linux/cpack.cmake)
endif()

if(LINEWICK_TESTS AND EXISTS ${CMAKE_SOURCE_DIR}/tests/packaging/CMakeLists.txt)
  add_subdirectory(tests/packaging)
endif()
