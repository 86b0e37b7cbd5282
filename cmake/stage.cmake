# cmake -DSRC=<repo>/data -DDST=<program folder> -P stage.cmake
#
# Every file below SRC is copied to the same place below DST. Files below Data/ are the
# user's: they are copied only when absent, so a rebuild never overwrites a database or
# VLX.ini the user has changed. Everything else is program-owned and refreshed.
foreach(dir Data Lib Maps Lang Filters KML help)
    file(MAKE_DIRECTORY ${DST}/${dir})
endforeach()
file(GLOB_RECURSE files RELATIVE ${SRC} ${SRC}/*)
foreach(rel ${files})
    if(rel MATCHES "(^|/)\\.gitkeep$")
        continue()
    endif()
    set(target ${DST}/${rel})
    get_filename_component(targetDir ${target} DIRECTORY)
    file(MAKE_DIRECTORY ${targetDir})
    if(rel MATCHES "^Data/")
        if(NOT EXISTS ${target})
            file(COPY_FILE ${SRC}/${rel} ${target})
        endif()
    else()
        file(COPY_FILE ${SRC}/${rel} ${target} ONLY_IF_DIFFERENT)
    endif()
endforeach()
