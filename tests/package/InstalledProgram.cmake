# Runs an installed quorvex with --version, as the package's user would first
# try it, and fails unless it prints the project version and exits 0.
function(check_installed_program program version)
  if(NOT EXISTS ${program})
    message(FATAL_ERROR "${program} was not installed")
  endif()
  execute_process(COMMAND ${program} --version RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors
                  TIMEOUT 60)
  if(NOT result EQUAL 0 OR NOT output STREQUAL "Quorvex ${version}\n")
    message(FATAL_ERROR "${program} --version: exit ${result}, printed \"${output}\", errors \"${errors}\"")
  endif()
endfunction()
