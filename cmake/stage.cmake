# cmake -DSRC=<repo>/data -DDST=<program folder> -P stage.cmake
#
# Every file below SRC is copied to the same place below DST. Files below Data/ are the
# user's: they are copied only when absent, so a rebuild never overwrites a database or
# VLX.ini the user has changed. Files below Lib/ are refreshed only while the copy in the
# program folder is absent or still a version the build wrote: Lib/.shipped lists every
# version written there ("<path>\t<sha256>" per line, the same file and rules as
# core/shippedfiles.h and tools/makedata), so an additional taxa list the program extended or
# a file the user changed is kept. Everything else is program-owned and refreshed.
cmake_minimum_required(VERSION 3.25)
foreach(dir Data Lib Maps Lang Filters KML help)
    file(MAKE_DIRECTORY ${DST}/${dir})
endforeach()

# A program folder without a manifest yet: whatever lies below Lib/ was written before
# anything kept one, so before a user could import a list; it counts as shipped.
set(manifest ${DST}/Lib/.shipped)
if(NOT EXISTS ${manifest})
    file(GLOB_RECURSE present RELATIVE ${DST} ${DST}/Lib/*)
    list(SORT present)
    set(lines "")
    foreach(rel ${present})
        if(rel MATCHES "^Lib/\\.shipped")
            continue()
        endif()
        file(SHA256 ${DST}/${rel} hash)
        string(APPEND lines "${rel}\t${hash}\n")
    endforeach()
    file(WRITE ${manifest}.new "${lines}")
    file(RENAME ${manifest}.new ${manifest})
endif()
file(STRINGS ${manifest} shipped)

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
    elseif(rel MATCHES "^Lib/")
        file(SHA256 ${SRC}/${rel} new)
        set(old "")
        if(EXISTS ${target})
            file(SHA256 ${target} old)
            if(NOT old STREQUAL new AND NOT "${rel}\t${old}" IN_LIST shipped)
                message(STATUS "kept ${rel}: it is not a version the build wrote (changed in "
                               "the program folder)")
                continue()
            endif()
        endif()
        # Recorded before it is written, so that a copy the build made is never taken for
        # the user's.
        if(NOT "${rel}\t${new}" IN_LIST shipped)
            file(APPEND ${manifest} "${rel}\t${new}\n")
            list(APPEND shipped "${rel}\t${new}")
        endif()
        if(NOT old STREQUAL new)
            file(COPY_FILE ${SRC}/${rel} ${target})
        endif()
    else()
        file(COPY_FILE ${SRC}/${rel} ${target} ONLY_IF_DIFFERENT)
    endif()
endforeach()
