# Lays out the runnable program folder beside the executable. Runs on every build; files
# a user keeps in Data/, and files below Lib/ the user changed, are never replaced (see
# stage.cmake).
add_custom_target(velmora_stage ALL
    COMMAND ${CMAKE_COMMAND} -DSRC=${CMAKE_SOURCE_DIR}/data -DDST=${VELMORA_PROGRAM_DIR}
            -P ${CMAKE_SOURCE_DIR}/cmake/stage.cmake
    COMMENT "Staging the program folder"
    VERBATIM)
