# The Debian package sdif-viewer_VERSION_ARCH.deb, made by CPack (scripts/package) from the install
# rules of every folder. Its dependencies are computed from the binaries by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sdif-viewer)
set(CPACK_PACKAGE_VENDOR "SDIF viewer developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "read-only viewer for SDIF sound analysis files")
set(CPACK_PACKAGE_DESCRIPTION "sdif-viewer shows the pitch (1FQ0), sinusoidal track (1TRC) and residual
spectrum (1STF) streams of an SDIF (Sound Description Interchange Format)
file as time-frequency pictures, with scroll, zoom and contrast controls.
sdif-render paints the same pictures into PNG files without a display, and
thumbnails of SDIF files for file managers. sdif-info reports what a file
holds; sdif-export writes its values as CSV, TSV or JSON lines for plots,
spreadsheets and scripts; sdif-synth renders the partials or the pitch of an
analysis into a WAV or FLAC file, to hear them.")
set(SDIF_PACKAGE_MAINTAINER "SDIF viewer developers <sdif-viewer@example.org>"
    CACHE STRING "Maintainer field of the Debian package: a name and an address")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${SDIF_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/compress-for-package.cmake)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
