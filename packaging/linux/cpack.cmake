# The Debian package: `cpack` in a Linux build folder writes
# linewick_<version>_<arch>.deb. Only the `program` component goes in.
set(CPACK_GENERATOR DEB)
# Values reach the package as written (quotes in the contact, $USER in the
# description).
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME linewick)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quorvane Co., Ltd.")
# The name holds a comma, so Debian wants it quoted.
set(CPACK_PACKAGE_CONTACT "\"Quorvane Co., Ltd.\" <support@hollent.com>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};Linewick;program;/")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://hollent.com/")
# dpkg-shlibdeps turns the libraries the binary links into dependencies.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "serial port log viewer with the time on every line
Linewick watches what USB serial devices print (microcontroller boards,
USB-serial adapters, laboratory and test instruments). Each port opens in a
tab of its own and every received line gets a timestamp. It plots the numbers
it finds in lines, raises value and text alerts, records to daily files,
saves the log right before a device disconnects and reopens the device when
it comes back. Commands can be sent once, repeated or run as sequences.

Serial-port access: the devices (/dev/ttyUSB*, /dev/ttyACM*) belong to the
dialout group. Add your account to it with
  sudo adduser $USER dialout
then log out and in again.")
include(CPack)
