# Moves a DLL's debug sections out of it, into <file>.debug beside it, where
# a debugger can be pointed at them. A PE image maps every section it has,
# the debug ones too: with a megabyte of them, Wine's load of the component
# took half again as long as that of an empty library. The symbol table stays,
# for backtraces and for nm.
function(dwx_split_debug_info target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-debug $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()
