# `make package` (or `cpack -G DEB` in the build folder): tarnwick_<version>_<arch>.deb with
# everything `cmake --install` puts into /usr. The dependencies are read off the programs by
# dpkg-shlibdeps. No maintainer scripts: the triggers of desktop-file-utils, shared-mime-info,
# the icon theme and man-db refresh their caches when files land in or leave /usr/share.

set(TARNWICK_PACKAGE_MAINTAINER "Tarnwick developers <tarnwick@example.org>"
  CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarnwick)
set(CPACK_PACKAGE_VENDOR "The Tarnwick developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${TARNWICK_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "stripboard layout editor")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Tarnwick lays out electronic circuits on stripboard (Veroboard): wire links,
resistors, capacitors, diodes, sockets, DIP sockets and strip cuts are placed
on the copper strips, the strips are labelled with the nets of the circuit,
and the layout is saved as a .twk file. It imports a first layout from a SPICE
netlist, checks a layout against its netlist, exports the board as a PNG
image, prints it at true hole spacing, and lists the holes to cut and the
parts to buy.

The package also holds tarnwick-cli, which does the same file work from the
command line without a display, and example layouts and netlists.")

include(CPack)
