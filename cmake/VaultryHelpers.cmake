# Compiler settings shared by every target of the project.
add_library(vaultry_options INTERFACE)
target_compile_options(vaultry_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow
                       -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Wunused
                       -Woverloaded-virtual -Wnull-dereference -Wformat=2)
if(VAULTRY_WERROR)
  target_compile_options(vaultry_options INTERFACE -Werror)
endif()
if(VAULTRY_SANITIZE)
  target_compile_options(vaultry_options INTERFACE -fsanitize=address,undefined
                         -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(vaultry_options INTERFACE -fsanitize=address,undefined)
endif()

# vaultry_add_library(NAME ALIAS SOURCES... [DEPS targets...])
# One static library per layer, reachable as Vaultry::<alias> in this build and, once
# installed, through find_package(Vaultry). Headers are included by their path from the source
# root ("access/LibrarySet.h"), in the build and in the installed include/vaultry alike.
function(vaultry_add_library name alias)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  add_library(Vaultry::${alias} ALIAS ${name})
  set_target_properties(${name} PROPERTIES EXPORT_NAME ${alias})
  target_include_directories(${name} PUBLIC $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
                                            $<INSTALL_INTERFACE:include/vaultry>)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE $<BUILD_INTERFACE:vaultry_options>)
  set_property(GLOBAL APPEND PROPERTY VAULTRY_LIBRARIES ${name})
endfunction()

# vaultry_add_test(NAME [POSTGRES] SOURCES... [DEPS targets...])
# A GoogleTest executable whose cases CTest lists one by one. POSTGRES: its cases run with the
# tests' private PostgreSQL cluster started (tests/CMakeLists.txt).
function(vaultry_add_test name)
  cmake_parse_arguments(ARG "POSTGRES" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} vaultry_test_support vaultry_options)
  if(ARG_POSTGRES)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                         PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
                                    ENVIRONMENT_MODIFICATION
                                    "VAULTRY_TEST_POSTGRES=set:${VAULTRY_TEST_POSTGRES_FOLDER}"
                                    FIXTURES_REQUIRED postgres)
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                         PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
endfunction()

# vaultry_add_benchmark(NAME SOURCES... [DEPS targets...])
function(vaultry_add_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark vaultry_options)
endfunction()

# vaultry_embed_files(TARGET HEADER FILES...)
# Makes the bytes of image files beside the sources part of a library: HEADER, in the build
# folder and included by its name from the target's sources only, holds one array per file,
# k_<file name without extension, as an identifier>. Changing a file reconfigures.
function(vaultry_embed_files target header)
  set(content "#pragma once\n// Made by the build from the files named below; edit those, not this.\n")
  foreach(file ${ARGN})
    set(path ${CMAKE_CURRENT_SOURCE_DIR}/${file})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${path})
    file(READ ${path} hex HEX)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    get_filename_component(stem ${file} NAME_WE)
    string(MAKE_C_IDENTIFIER ${stem} name)
    string(APPEND content "// ${file}\ninline constexpr unsigned char k_${name}[] = {${bytes}};\n")
  endforeach()
  set(folder ${CMAKE_CURRENT_BINARY_DIR}/embedded)
  file(WRITE ${folder}/${header}.new "${content}")
  configure_file(${folder}/${header}.new ${folder}/${header} COPYONLY)
  target_include_directories(${target} PRIVATE ${folder})
endfunction()
