# Installs the build folder BUILD_DIR under the prefix /usr into the scratch
# root SCRATCH (DESTDIR), then checks that every file of EXPECTED (paths under
# the prefix) is there and that the installed program runs.
include(${CMAKE_CURRENT_LIST_DIR}/InstalledProgram.cmake)

file(REMOVE_RECURSE ${SCRATCH})
set(ENV{DESTDIR} ${SCRATCH})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed:\n${output}")
endif()

set(missing)
foreach(file IN LISTS EXPECTED)
  if(NOT EXISTS ${SCRATCH}/usr/${file})
    list(APPEND missing ${file})
  endif()
endforeach()
if(missing)
  list(JOIN missing "\n  " missing)
  message(FATAL_ERROR "not installed:\n  ${missing}")
endif()

check_installed_program(${SCRATCH}/usr/bin/quorvex ${VERSION})
file(REMOVE_RECURSE ${SCRATCH})
