# Installs the module into a temporary prefix and starts the installed vaultry-manager under a
# virtual X server, as a person would after the README's set-up: it makes the libraries, shows
# the Database Manager (pictured and closed through the program's test hook), and picks a part
# with --select for a script, on OK and on Cancel, and stores a design with --design. Checks the
# launcher and the icon are where desktops look for them.
#
# Variables: BUILD_DIR, WORK_DIR.

# Runs the installed program under Xvfb; sets `status`, `output` (standard output) and
# `errors` in the caller.
function(run_manager)
  execute_process(COMMAND xvfb-run -a ${prefix}/bin/vaultry-manager ${ARGN}
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 120)
  set(status "${result}" PARENT_SCOPE)
  set(output "${out}" PARENT_SCOPE)
  set(errors "${err}" PARENT_SCOPE)
endfunction()

# Stops the test with `message` and what the last run of the program said.
function(fail message)
  message(FATAL_ERROR "${message}\nstatus: ${status}\noutput: ${output}\nerrors: ${errors}")
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
                RESULT_VARIABLE installed OUTPUT_QUIET)
if(NOT installed EQUAL 0)
  message(FATAL_ERROR "the install failed")
endif()

file(READ ${prefix}/share/applications/vaultry-manager.desktop launcher)
if(NOT launcher MATCHES "\nExec=vaultry-manager\n" OR NOT launcher MATCHES "\nIcon=vaultry-manager\n")
  message(FATAL_ERROR "the launcher does not start the program with its icon:\n${launcher}")
endif()
if(NOT EXISTS ${prefix}/share/icons/hicolor/128x128/apps/vaultry-manager.png)
  message(FATAL_ERROR "the icon is not installed")
endif()

set(ENV{XDG_DATA_HOME} ${WORK_DIR}/data)
set(ENV{XDG_CONFIG_HOME} ${WORK_DIR}/config)
unset(ENV{VAULTRY_CONFIG})
unset(ENV{QT_QPA_PLATFORM})  # the real X11 platform, on the virtual server

run_manager(--screenshot ${WORK_DIR}/manager.png)
if(NOT status EQUAL 0 OR NOT errors MATCHES "stored 40 starter footprints")
  fail("the Database Manager did not open on new libraries and close")
endif()
file(SIZE ${WORK_DIR}/manager.png picture)
if(picture LESS 5000)
  fail("the Database Manager's picture is empty")
endif()

run_manager(--select --type Footprint --name SOIC-8 --screenshot ${WORK_DIR}/select.png
            --answer ok)
if(NOT status EQUAL 0 OR NOT output MATCHES "^master\t[0-9]+\tSOIC-8\tFootprint\n$")
  fail("the select dialog did not take the part and print it")
endif()

run_manager(--select --screenshot ${WORK_DIR}/cancelled.png)
if(NOT status EQUAL 1 OR NOT output STREQUAL "")
  fail("Cancel did not end the select dialog with status 1 and nothing printed")
endif()

# A design exported from the master library, stored through the store dialog into the user
# library; the Database Manager opened afterwards is answered too.
execute_process(COMMAND ${prefix}/bin/vaultry export --category master/ICs/QFN
                        -o ${WORK_DIR}/design.xml RESULT_VARIABLE exported OUTPUT_QUIET)
run_manager(--design ${WORK_DIR}/design.xml --screenshot ${WORK_DIR}/store.png --answer ok)
if(NOT exported EQUAL 0 OR NOT status EQUAL 0 OR NOT errors MATCHES "stored 3 parts")
  fail("the design was not stored")
endif()
execute_process(COMMAND ${prefix}/bin/vaultry ls --tier user --name QFN OUTPUT_VARIABLE listed)
string(REGEX MATCHALL "QFN-" found "${listed}")
list(LENGTH found parts)
if(NOT parts EQUAL 3)
  fail("the user library does not hold the design's parts:\n${listed}")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
