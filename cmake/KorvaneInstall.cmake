# cmake --install: the program folder under <prefix>/lib/korvane (the executables with ini/,
# help/ and blankimg/ beside them, where they look for them), launchers on the PATH in
# <prefix>/bin, and the desktop entry with its icon under <prefix>/share.
# Also the manual pages, korvane-cli's bash completion and, for the Debian package
# (cmake/KorvanePackage.cmake), its copyright and changelog.
#
# No config.ini is ever installed: a reinstall leaves the user's in place. Where the user may not
# write the installed ini/, the program keeps the settings under ~/.config/korvane/ instead
# (src/platform/ProgramFolder.h).
set(KORVANE_INSTALL_FOLDER lib/korvane)

foreach(program korvane korvane-cli korvane-standin mosaicker pictoscope)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${KORVANE_INSTALL_FOLDER})
  endif()
endforeach()

install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ini ${CMAKE_SOURCE_DIR}/data/help
                  ${CMAKE_SOURCE_DIR}/data/blankimg
        DESTINATION ${KORVANE_INSTALL_FOLDER}
        PATTERN config.ini EXCLUDE
        PATTERN temp.xml EXCLUDE
        PATTERN temp.json EXCLUDE)

# Launchers: relative symbolic links into the program folder. The program finds its folder
# through /proc/self/exe, which names the real file, so it runs from lib/korvane wherever the
# link is called from; relative links also survive a DESTDIR staging.
set(korvane_launcher_dir ${CMAKE_BINARY_DIR}/launchers)
file(MAKE_DIRECTORY ${korvane_launcher_dir})
foreach(program korvane korvane-cli korvane-standin mosaicker pictoscope)
  if(TARGET ${program})
    file(CREATE_LINK ../${KORVANE_INSTALL_FOLDER}/${program} ${korvane_launcher_dir}/${program}
         SYMBOLIC)
    install(FILES ${korvane_launcher_dir}/${program} DESTINATION bin)
  endif()
endforeach()

# The desktop entry starts the window; only with the window built.
if(TARGET korvane)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/korvane.desktop DESTINATION share/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/korvane.svg
          DESTINATION share/icons/hicolor/scalable/apps)
  foreach(size 48 256)
    set(png ${CMAKE_SOURCE_DIR}/packaging/korvane-${size}.png)
    if(EXISTS ${png})
      install(FILES ${png} DESTINATION share/icons/hicolor/${size}x${size}/apps
              RENAME korvane.png)
    endif()
  endforeach()
endif()

# Manual pages, compressed as Debian wants them (-n: no time stamp, so builds repeat exactly).
file(GLOB korvane_man_pages CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/man/*.1)
set(korvane_man_outputs "")
foreach(page ${korvane_man_pages})
  get_filename_component(name ${page} NAME)
  get_filename_component(program ${page} NAME_WE)
  if(NOT TARGET ${program})
    continue()
  endif()
  set(out ${CMAKE_BINARY_DIR}/man/${name}.gz)
  add_custom_command(OUTPUT ${out}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
                     COMMAND sh -c "gzip -9nc < \"$0\" > \"$1\"" ${page} ${out}
                     DEPENDS ${page}
                     COMMENT "Manual page ${name}"
                     VERBATIM)
  list(APPEND korvane_man_outputs ${out})
endforeach()
add_custom_target(korvane_man ALL DEPENDS ${korvane_man_outputs})
install(FILES ${korvane_man_outputs} DESTINATION share/man/man1)

if(TARGET korvane-cli)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/korvane-cli.bash
          DESTINATION share/bash-completion/completions RENAME korvane-cli)
endif()

include(${CMAKE_CURRENT_LIST_DIR}/KorvanePackage.cmake)
