# Compiler settings shared by every target of the project. Warnings turn into errors only on
# request (scripts/test and CI ask for it): another compiler or version may warn where ours does
# not, and that must not stop a user's build.
add_compile_options(-Wall -Wextra -Wpedantic)
if(KORVANE_WERROR)
  add_compile_options(-Werror)
endif()
# GCC 12 reports std::string concatenations at -O3 as overlapping copies (GCC bug 105329, a
# false positive fixed in GCC 13).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  add_compile_options(-Wno-restrict)
endif()

if(KORVANE_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
elseif(KORVANE_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT KORVANE_SANITIZE STREQUAL "")
  message(FATAL_ERROR "KORVANE_SANITIZE must be empty, 'address' or 'thread'")
endif()

# Coverage for libFuzzer in every object; the fuzz targets alone link its main. A fuzz build
# uses another compiler, whose warnings must not stop it even where warnings are errors.
if(KORVANE_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link -Wno-error)
endif()

# korvane_add_library(name SOURCES... DEPS...): a subsystem library from its folder's sources.
function(korvane_add_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# korvane_add_program(name SOURCES... DEPS...): an executable of the program folder.
function(korvane_add_program name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  add_dependencies(${name} korvane_data)
endfunction()

# KorvaneVersion.h: the project's version for the programs' --version (link korvane_version).
configure_file(${CMAKE_CURRENT_LIST_DIR}/KorvaneVersion.h.in
               ${CMAKE_BINARY_DIR}/generated/KorvaneVersion.h @ONLY)
add_library(korvane_version INTERFACE)
target_include_directories(korvane_version INTERFACE ${CMAKE_BINARY_DIR}/generated)

# korvane_add_command(name SOURCES... DEPS...): a program's command line (or window set) as a
# library beside its main, so the tests can run it in-process. Its headers are included as
# "<program folder>/<file>.h".
function(korvane_add_command name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/programs ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()
