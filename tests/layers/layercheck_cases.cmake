# Each case writes a scratch tree of two files, one including the other, and runs the layer
# check on it: an include that points up or sideways, in any form, must stop it; one that
# points down must pass.
cmake_minimum_required(VERSION 3.25)

# case: name, including file, its include line, expected outcome (pass or fail)
set(cases
  "quoted_down|src/data/a.cpp|#include \"net/b.h\"|pass"
  "quoted_up|src/data/a.cpp|#include \"grid/b.h\"|fail"
  "angle_up|src/data/a.cpp|#include <grid/b.h>|fail"
  "relative_up|src/data/a.cpp|#include \"../grid/b.h\"|fail"
  "relative_down|src/grid/x/a.cpp|#include \"../../net/b.h\"|pass"
  "sideways|src/lesson/a.cpp|#include \"screens/b.h\"|fail"
  "subfolder_own|src/screens/orders/a.cpp|#include \"screens/users/b.h\"|pass"
  "bare_own|src/wire/a.cpp|#include \"b.h\"|pass"
  "spaced_hash|src/base/a.cpp|  #  include \"data/b.h\"|fail"
  "server_wire|server/http/a.cpp|#include \"wire/b.h\"|pass"
  "server_data|server/http/a.cpp|#include \"data/b.h\"|fail"
  "server_net_angle|server/a.cpp|#include <net/b.h>|fail"
  "client_server|src/app/a.cpp|#include \"server/b.h\"|fail"
  "system_header|src/lang/a.cpp|#include <QString>|pass"
)
set(failures "")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 name)
  list(GET parts 1 file)
  list(GET parts 2 line)
  list(GET parts 3 expected)
  set(root "${WORK}/${name}")
  file(REMOVE_RECURSE "${root}")
  file(WRITE "${root}/${file}" "${line}\n")
  # The included file, wherever the line points, so that relative forms resolve.
  foreach(target src/net/b.h src/grid/b.h src/screens/b.h src/screens/users/b.h src/wire/b.h
                 src/data/b.h server/b.h)
    file(WRITE "${root}/${target}" "")
  endforeach()
  execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${root} -P ${CHECK}
                  RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE err)
  if(result EQUAL 0)
    set(outcome pass)
  else()
    set(outcome fail)
  endif()
  if(NOT outcome STREQUAL expected)
    string(APPEND failures "  ${name}: expected ${expected}, got ${outcome}\n${err}\n")
  endif()
endforeach()
if(failures)
  message(FATAL_ERROR "Layer check cases that went wrong:\n${failures}")
endif()
message(STATUS "All layer check cases behaved")
