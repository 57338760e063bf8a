# The Debian package (scripts/package runs `cpack -G DEB`): korvane_<version>_amd64.deb with
# the installed layout under /usr, its run-time dependencies found from the shared libraries
# the programs link (dpkg-shlibdeps), and the files Debian asks of every package.
set(korvane_doc_dir share/doc/korvane)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright DESTINATION ${korvane_doc_dir})
set(korvane_changelog ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${korvane_changelog}
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
                   COMMAND sh -c "gzip -9nc < \"$0\" > \"$1\""
                           ${CMAKE_SOURCE_DIR}/packaging/changelog ${korvane_changelog}
                   DEPENDS ${CMAKE_SOURCE_DIR}/packaging/changelog
                   COMMENT "Package changelog"
                   VERBATIM)
add_custom_target(korvane_changelog ALL DEPENDS ${korvane_changelog})
install(FILES ${korvane_changelog} DESTINATION ${korvane_doc_dir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Korvane developers")
set(CPACK_PACKAGE_CONTACT "Korvane developers <support@korvane.example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "download the image tiles of Street View panoramas")
# Lines of at most 80 characters, as Debian wants the description.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
       "Korvane looks up the Street View panorama nearest to a place and downloads"
       "every image tile of it at a chosen zoom into a folder, with a task file to"
       "continue a stopped download and a list of failed tiles to fetch again. It"
       "comes as a desktop window (korvane) and a command-line program (korvane-cli),"
       "with a local stand-in for the service (korvane-standin) to try them without"
       "a network.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://korvane.example.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
