# Debian package of the installed tree: `cpack -G DEB` in the build folder
# (scripts/test-package.sh builds and checks it).
#
# The launcher finds the program and the shipped data relative to its own
# folder and falls back to absolute paths made from CMAKE_INSTALL_PREFIX, so
# the package installs under that same prefix. Configure with
# -DCMAKE_INSTALL_PREFIX=/usr for a package of the usual kind.

if(NOT CMAKE_INSTALL_PREFIX STREQUAL "/usr")
    message(STATUS "Packaging: CMAKE_INSTALL_PREFIX is ${CMAKE_INSTALL_PREFIX}; "
                   "a Debian package is normally made with -DCMAKE_INSTALL_PREFIX=/usr")
endif()

set(CPACK_PACKAGE_NAME "tintaro")
set(CPACK_PACKAGE_VENDOR "Tintaro Project")
set(CPACK_PACKAGE_CONTACT "Tintaro Project <hello@tintaro.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://tintaro.org")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "colour picker and web colour scheme tool")
set(CPACK_PACKAGE_VERSION_MAJOR ${PROJECT_VERSION_MAJOR})
set(CPACK_PACKAGE_VERSION_MINOR ${PROJECT_VERSION_MINOR})
set(CPACK_PACKAGE_VERSION_PATCH ${PROJECT_VERSION_PATCH})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(CPACK_STRIP_FILES ON)

set(CPACK_GENERATOR "DEB")
set(CPACK_DEBIAN_PACKAGE_NAME "tintaro")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tintaro Project <hello@tintaro.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION "graphics")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tintaro.org")
# The extended description below the summary line: plain paragraphs with
# an empty line between them; CPack indents it as the control file wants.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tintaro2.0 picks colours from anything on the screen, with the mouse or
pixel by pixel with the keyboard, and keeps the picked colours in a paged
palette beside the 216 web-safe colours. It copies a colour in six text
formats, from #80FFCC to RGB(128,255,204).

It also composes the text, background and link colours of a web page on a
live sample, keeps them as named colour sets and shows them as an HTML
body tag or CSS code, ready to copy.

Picking works on X11, and on Wayland through the desktop portal.")

# The libraries the program links (Qt 6, the C and C++ run-time) come from
# dpkg-shlibdeps (Debian package dpkg-dev). Qt loads its platform plugins
# at run time, so they are named here (the Wayland one too: without it a
# Wayland session runs the program on XWayland, where a screen grab sees
# only X11 windows), with the fonts the windows are laid out for: DejaVu
# answers the generic "Sans Serif", Liberation stands in for Arial.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins (>= 6.4), qt6-wayland (>= 6.4), fonts-dejavu-core, fonts-liberation2 | fonts-liberation")
# Help opens its page in the user's browser through xdg-open; on Wayland
# the screen image comes from the desktop portal, whose desktop's back end
# the user's desktop brings.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, xdg-desktop-portal")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xdg-desktop-portal-gnome | xdg-desktop-portal-kde | xdg-desktop-portal-wlr")
# The copyright file Debian wants, in its machine-readable form, made from
# LICENSE at configure time so that the two cannot drift apart: the licence
# text indented by one space, its empty lines as " .".
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/LICENSE")
file(READ "${PROJECT_SOURCE_DIR}/LICENSE" tintaro_license)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]+)" tintaro_holder "${tintaro_license}")
set(tintaro_holder "${CMAKE_MATCH_1}")
string(REGEX REPLACE "^MIT License\n\n" "" tintaro_license "${tintaro_license}")
string(REGEX REPLACE "\n+$" "" tintaro_license "${tintaro_license}")
string(REPLACE "\n\n" "\n.\n" tintaro_license "${tintaro_license}")
string(REPLACE "\n" "\n " tintaro_license "${tintaro_license}")
file(WRITE "${PROJECT_BINARY_DIR}/copyright"
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: ${CPACK_PACKAGE_NAME}
Upstream-Contact: ${CPACK_PACKAGE_CONTACT}
Source: ${CPACK_PACKAGE_HOMEPAGE_URL}

Files: *
Copyright: ${tintaro_holder}
License: MIT
 ${tintaro_license}
")
install(FILES "${PROJECT_BINARY_DIR}/copyright" DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/doc/tintaro")

# Control files root-owned with the usual modes.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
