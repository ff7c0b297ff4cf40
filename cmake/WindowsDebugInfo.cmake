# The Windows programs keep their debugging information in a file beside
# them (<program>.exe.debug, found by gdb through the program's debug link),
# not in the program: Wine reads every section of a program into memory when
# it starts it, and the debugging sections are ten times the size of the rest.
function(quorvex_windows_separate_debug_info target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-debug --add-gnu-debuglink=$<TARGET_FILE:${target}>.debug
            $<TARGET_FILE:${target}>
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
    COMMENT "Moving the debugging information of ${target} beside it"
    VERBATIM)
endfunction()
