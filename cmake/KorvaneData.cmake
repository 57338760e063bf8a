# Copies data/ into the program folder: ini/ (without config.ini, which belongs to the user),
# help/ and blankimg/. Every executable depends on it, so building any one of them leaves a
# complete program folder.
file(GLOB_RECURSE korvane_data_files CONFIGURE_DEPENDS
     RELATIVE ${CMAKE_SOURCE_DIR}/data
     ${CMAKE_SOURCE_DIR}/data/ini/* ${CMAKE_SOURCE_DIR}/data/help/*
     ${CMAKE_SOURCE_DIR}/data/blankimg/*)
list(FILTER korvane_data_files EXCLUDE REGEX "^ini/config\\.ini$")
set(korvane_data_outputs "")
foreach(rel ${korvane_data_files})
  set(out ${KORVANE_PROGRAM_DIR}/${rel})
  add_custom_command(OUTPUT ${out}
                     COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/data/${rel} ${out}
                     DEPENDS ${CMAKE_SOURCE_DIR}/data/${rel}
                     COMMENT "Program folder: ${rel}")
  list(APPEND korvane_data_outputs ${out})
endforeach()
add_custom_target(korvane_data ALL DEPENDS ${korvane_data_outputs}
                  COMMAND ${CMAKE_COMMAND} -E make_directory ${KORVANE_PROGRAM_DIR}/ini)
