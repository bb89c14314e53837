# `make package`: a Debian package of the installed tree, made with CPack.
# The libraries the programs link are turned into dependencies by dpkg-shlibdeps (Qt's
# platform and media plugins come with the Qt libraries that hold them); what the programs
# use without linking it (fonts for the Chinese texts, Qt's own translations, the software
# OpenGL driver, the RAR reader for old archives) is recommended.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "corvantine")
set(CPACK_PACKAGE_VENDOR "Corvantine")
set(CPACK_PACKAGE_CONTACT "Corvantine developers <dev@corvantine.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Authoring tool for LED pixel installations")
set(CPACK_PACKAGE_DESCRIPTION
  "Lay out and wire the LEDs of a facade, bridge or sculpture, set the controllers, make the
light show and write the data files that stand-alone controllers play from an SD card.
Contains the desktop program corvantine, the command line corvantine-cli and the merge
tool fusebind.")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
set(CPACK_DEBIAN_PACKAGE_SECTION "graphics")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, qt6-translations-l10n, libgl1-mesa-dri, bash-completion")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "unrar-free")
set(CPACK_STRIP_FILES ON)
# Only what `cmake --install` installs: no test or benchmark programs.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};ALL;/")

include(CPack)
