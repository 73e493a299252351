# CPack's Debian package. dpkg-shlibdeps derives the libraries' packages from the
# programs; what the programs load or use without linking it is named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrum)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Kestrum developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "find, list and search the entities of compiled BSP maps")
set(CPACK_PACKAGE_DESCRIPTION
    "Kestrum opens a compiled BSP game map, finds its entity lump, writes every entity to a text file and searches \
the entities for a text, showing the entity found with its key/value pairs and decoded spawn flags. It comes as a \
Qt 6 dialog, kestrum, and a command-line companion for scripts, kestrum-cli.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's X11 and offscreen platform plugins come with libqt6gui6. The icon theme and
# shared-mime-info own the folders the icons and the map type go to, and their triggers
# bring the caches up to date.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "hicolor-icon-theme, shared-mime-info")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "bash-completion")
include(CPack)
