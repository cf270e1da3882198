# The Debian package: `cmake --build build --target package` makes
# build/pelisto_<version>_<arch>.deb from the component "pelisto". The
# libraries it needs come from dpkg-shlibdeps; the Japanese fonts the
# program maps its face names to are added by hand, as are Qt's
# translations of its own dialogs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelisto)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Pelisto developers")
set(PELISTO_MAINTAINER "Pelisto developers <pelisto@example.org>"
    CACHE STRING "The Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT "${PELISTO_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "WAV cut-and-paste editor with a Japanese user interface")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
     "Pelisto shows a 16-bit stereo 44.1 kHz WAV file one second at a time,"
     "plays it and marks ranges with the mouse into an edit list: ranges of"
     "several files, silent blanks, loop counts and a voiceless flag. It writes"
     "the list as a new WAV file that plays at once, and keeps the list as a"
     "project file. The user interface is in Japanese.")
set(CPACK_COMPONENTS_ALL pelisto)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The Debian revision; data/debian/changelog names the same version.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# SDL2, libsndfile and libsoxr are opened while the program runs, so the
# library scan does not see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-ipafont-gothic, fonts-ipafont-mincho, libsdl2-2.0-0, libsndfile1, libsoxr0")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")

include(CPack)
