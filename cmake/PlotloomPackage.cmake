# SPDX-License-Identifier: MIT
# A Debian package of the two programs, their desktop entry and icon: cpack in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME plotloom)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}.0")
set(CPACK_PACKAGE_VENDOR "The Plotloom developers")
set(CPACK_PACKAGE_CONTACT "The Plotloom developers <plotloom@users.noreply.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "shows the structure of a screenplay as coloured threads")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Plotloom opens a screenplay, finds the speaking characters, cuts the text into scenes and "
    "draws every character as a coloured thread down a time axis. It exports per-scene and "
    "per-character statistics. plotloom-batch does the same for many screenplays from the "
    "command line.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://plotloom.org/")
# The run-time libraries of Debian 12, named so that the package installs on a fresh machine.
# Boost.Graph is used header-only, so it is a build dependency (libboost-graph-dev) and not one
# of these.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt5core5a (>= 5.15), libqt5gui5 (>= 5.15), libqt5widgets5 (>= 5.15), libqt5opengl5 (>= 5.15), libqt5network5 (>= 5.15), libqt5webkit5, libglew2.2, libglut3.12, libglu1-mesa, libgl1, libgl1-mesa-dri, libtinyxml2-9, libpoppler126")
include(CPack)
