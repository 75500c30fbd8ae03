# The Debian package (cpack -G DEB): the programs, their data files and the
# run-time libraries they need, found by dpkg-shlibdeps.
if(TARGET kistora)
  install(TARGETS kistora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kistora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Kistora project <kistora@example.org>")
set(CPACK_PACKAGE_VENDOR "Kistora project")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "catalogue of Diablo II items and characters (in French)")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://example.org/kistora")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)  # "games" is for the games themselves
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
# Qt's own dialogs and buttons in French.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
# CPack indents the lines and turns the empty one into " .".
set(CPACK_PACKAGE_DESCRIPTION
    "Kistora keeps, in French, everything a player owns in Diablo II - Lord of
Destruction: characters, items with their characteristics and magic
properties, and which character holds which item. It publishes a trading
list as an HTML page or plain text, and exports the items as CSV.

kistora-cli checks, dumps, re-saves and exports a catalogue from the
command line.")
include(CPack)
