# cmake --install: the program folder under <prefix>/lib/korvane (the executables with ini/,
# help/ and blankimg/ beside them, where they look for them), launchers on the PATH in
# <prefix>/bin, and the desktop entry with its icon under <prefix>/share.
#
# The program keeps the user's settings (ini/config.ini) and the last lookup's answer
# (ini/temp.xml) in its own folder, so no config.ini is ever installed (a reinstall leaves the
# user's in place) and ini/ must be writable by whoever runs the program.
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
        PATTERN temp.xml EXCLUDE)

# Launchers: relative symbolic links into the program folder. The program finds its folder
# through /proc/self/exe, which names the real file, so it runs from lib/korvane wherever the
# link is called from; relative links also survive a DESTDIR staging.
set(korvane_launcher_dir ${CMAKE_BINARY_DIR}/launchers)
file(MAKE_DIRECTORY ${korvane_launcher_dir})
foreach(program korvane korvane-cli mosaicker pictoscope)
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
