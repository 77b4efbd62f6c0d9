# Installs the module into a temporary prefix, builds the host program the README shows against
# it with find_package(Vaultry), and runs it on libraries made by the installed vaultry program.
#
# Variables: SOURCE_DIR, BUILD_DIR, WORK_DIR, GENERATOR, CXX_FLAGS (the flags the module was
# built with that a program linking it needs too, such as the sanitizers).

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE output
                  ERROR_VARIABLE output)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${ARGN}\n${output}")
  endif()
  set(output "${output}" PARENT_SCOPE)
endfunction()

# The text between "<!-- NAME -->" and the end of the code block after it.
function(readme_block name out)
  file(READ ${SOURCE_DIR}/README.md readme)
  string(FIND "${readme}" "<!-- ${name} -->" start)
  if(start EQUAL -1)
    message(FATAL_ERROR "README.md has no block ${name}")
  endif()
  string(SUBSTRING "${readme}" ${start} -1 rest)
  string(REGEX MATCH "```[a-z]*\n(.*)" fenced "${rest}")
  string(FIND "${CMAKE_MATCH_1}" "```" end)
  string(SUBSTRING "${CMAKE_MATCH_1}" 0 ${end} block)
  set(${out} "${block}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

readme_block(host-program program)
readme_block(host-cmake cmake)
file(WRITE ${WORK_DIR}/host/main.cpp "${program}")
file(WRITE ${WORK_DIR}/host/CMakeLists.txt "${cmake}")
run(${CMAKE_COMMAND} -S ${WORK_DIR}/host -B ${WORK_DIR}/host/build -G ${GENERATOR}
    -DCMAKE_PREFIX_PATH=${prefix} "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/host/build)

set(ENV{XDG_DATA_HOME} ${WORK_DIR}/data)
set(ENV{XDG_CONFIG_HOME} ${WORK_DIR}/config)
unset(ENV{VAULTRY_CONFIG})
run(${prefix}/bin/vaultry init)
run(${WORK_DIR}/host/build/list_parts 9)
if(NOT output STREQUAL "SOIC-8\nSOIC-14\nSOIC-16\n")
  message(FATAL_ERROR "the host program listed:\n${output}")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
