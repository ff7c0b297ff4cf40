# System libraries that the Windows programs load at their first call rather
# than when they start: comdlg32, ole32 and shell32, with what they bring in,
# add about 18 ms to a start under Wine. quorvex.exe's start-up update check
# still needs shell32 (the temporary file's folder), which brings ole32;
# comdlg32 and COM wait until the user asks for a colour or a folder, and
# quorvex-cli.exe loads none of them for most commands. Each becomes a
# target, quorvex_win32_<name>, that links the delay-import library made
# from cmake/delayload/<name>.def before the ordinary import library: the
# functions the .def lists are delay-loaded, any other still comes from the
# ordinary one (Win32ProgramsImportOnlySystemDlls checks that neither program
# imports one of them when it starts).
function(quorvex_windows_delay_loaded name)
  set(definition ${PROJECT_SOURCE_DIR}/cmake/delayload/${name}.def)
  set(library ${CMAKE_BINARY_DIR}/delayload/lib${name}-delay.a)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/delayload)
  execute_process(COMMAND ${CMAKE_DLLTOOL} --input-def ${definition} --dllname ${name}.dll
                          --output-delaylib ${library}
                  RESULT_VARIABLE result ERROR_VARIABLE error)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "Cannot make the delay-import library of ${name}.dll: ${error}")
  endif()
  set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${definition})
  add_library(quorvex_win32_${name} INTERFACE)
  target_link_libraries(quorvex_win32_${name} INTERFACE ${library} ${name})
endfunction()

set(QUORVEX_WINDOWS_DELAY_LOADED comdlg32 ole32 shell32)
foreach(name IN LISTS QUORVEX_WINDOWS_DELAY_LOADED)
  quorvex_windows_delay_loaded(${name})
endforeach()
