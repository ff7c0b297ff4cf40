# Builds the Debian package of the build folder BUILD_DIR with cpack into
# SCRATCH, has lintian check it (no errors, no hardening notes), checks its
# relations, then unpacks it into a scratch root, has hardening-check look at
# the programs and starts the unpacked program.
include(${CMAKE_CURRENT_LIST_DIR}/InstalledProgram.cmake)

function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${what} failed (${result}):\n${output}")
  endif()
  set(output "${output}" PARENT_SCOPE)
endfunction()

function(expect_field package field pattern)
  run("dpkg-deb --field ${field}" ${DPKG_DEB} --field ${package} ${field})
  if(NOT output MATCHES "${pattern}")
    message(FATAL_ERROR "${field} is \"${output}\"; expected it to match ${pattern}")
  endif()
endfunction()

file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})
run("cpack" ${CPACK} -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${SCRATCH})
file(GLOB package ${SCRATCH}/*.deb)
list(LENGTH package count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one package in ${SCRATCH}, found: ${package}")
endif()

# Info tags shown as well: some hardening notes (no fortified functions) are only that.
run("lintian" ${LINTIAN} --fail-on error --display-info --tag-display-limit 0 ${package})
message(STATUS "lintian:\n${output}")
if(output MATCHES "hardening-[a-z-]+")
  message(FATAL_ERROR "lintian notes ${CMAKE_MATCH_0}:\n${output}")
endif()

# Libraries from their package data, the stand-in fonts by name; wine only
# recommended.
expect_field(${package} Depends "(^|, )libc6 \\(>= [^)]+\\)")
expect_field(${package} Depends "(^|, )libqt6widgets6 \\(>= [^)]+\\)")
expect_field(${package} Depends "(^|, )fonts-dejavu-extra(,|$)")
expect_field(${package} Recommends "^wine\n?$")
expect_field(${package} Version "^${VERSION}\n?$")
run("dpkg-deb --field Depends" ${DPKG_DEB} --field ${package} Depends)
if(output MATCHES "wine")
  message(FATAL_ERROR "wine must not be required: Depends is \"${output}\"")
endif()

run("dpkg-deb -x" ${DPKG_DEB} -x ${package} ${SCRATCH}/root)
# Without the control-flow check: no program linked with this system's C
# library start files can carry its mark (see cmake/Hardening.cmake).
foreach(program quorvex quorvex-cli)
  run("hardening-check ${program}" ${HARDENING_CHECK} --nocfprotection ${SCRATCH}/root/usr/bin/${program})
  message(STATUS "${output}")
endforeach()
check_installed_program(${SCRATCH}/root/usr/bin/quorvex ${VERSION})
file(REMOVE_RECURSE ${SCRATCH})
