# Installs the build into a fresh prefix and checks what a user gets: the program folder under
# lib/korvane without a config.ini, launchers in bin that run the program from its folder, and
# the desktop entry with its icon.
#   cmake -DBUILD_DIR=... -DPREFIX=... -P InstallCheck.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

set(folder ${PREFIX}/lib/korvane)
foreach(file korvane korvane-cli korvane-standin pictoscope ini/cookies.txt help/help.html
             blankimg/blank.jpg)
  if(NOT EXISTS ${folder}/${file})
    message(FATAL_ERROR "missing from the program folder: ${file}")
  endif()
endforeach()
if(EXISTS ${folder}/ini/config.ini)
  message(FATAL_ERROR "a config.ini was installed")
endif()
foreach(file share/applications/korvane.desktop share/icons/hicolor/scalable/apps/korvane.svg)
  if(NOT EXISTS ${PREFIX}/${file})
    message(FATAL_ERROR "missing: ${file}")
  endif()
endforeach()

foreach(launcher korvane korvane-cli pictoscope)
  if(NOT IS_SYMLINK ${PREFIX}/bin/${launcher})
    message(FATAL_ERROR "no launcher bin/${launcher}")
  endif()
  file(REAL_PATH ${PREFIX}/bin/${launcher} target)
  file(REAL_PATH ${folder}/${launcher} expected)
  if(NOT target STREQUAL expected)
    message(FATAL_ERROR "bin/${launcher} leads to ${target}, not ${expected}")
  endif()
endforeach()

# Run from another folder: the launcher still finds the program folder.
execute_process(COMMAND ${PREFIX}/bin/korvane-cli --help WORKING_DIRECTORY /
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT status EQUAL 0 OR NOT output MATCHES "^usage: korvane-cli")
  message(FATAL_ERROR "korvane-cli --help through the launcher: ${status}\n${output}${errors}")
endif()
file(REMOVE_RECURSE ${PREFIX})
