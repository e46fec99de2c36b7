# Debian package of the installed tree: `cpack -G DEB` in the build folder.
#
# The launcher holds absolute paths made from CMAKE_INSTALL_PREFIX when the
# project is configured, so the package installs under that same prefix.
# Configure with -DCMAKE_INSTALL_PREFIX=/usr for a package of the usual kind.

set(CPACK_PACKAGE_NAME "tintaro")
set(CPACK_PACKAGE_VENDOR "Tintaro Project")
set(CPACK_PACKAGE_CONTACT "Tintaro Project <hello@tintaro.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://tintaro.org")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Colour picker and web colour scheme tool")
set(CPACK_PACKAGE_DESCRIPTION
    "Tintaro2.0 picks colours from anything on the screen, keeps them in a \
palette beside the 216 web-safe colours, copies them in six text formats, \
and composes text, background and link colours on a sample page, saved as \
named colour sets and shown as HTML and CSS code.")
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
# Debian 12's Qt 6 runtime; the platform plugins come in a package of their own.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6widgets6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6core6 (>= 6.4), libqt6dbus6 (>= 6.4), qt6-qpa-plugins (>= 6.4)")

include(CPack)
