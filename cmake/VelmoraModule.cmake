# One library target per module folder. Sources are collected from the folder (and its
# sub-folders), so adding a file needs no edit here; the allowed dependencies are named
# explicitly, which is what keeps the layers honest: a module that includes a header of a
# module it may not use fails to compile or link. A sub-folder with a CMakeLists.txt of its
# own is a target of its own (core/dbf): its sources are left to it, and the module names it
# among its DEPENDS.
function(velmora_module name)
    cmake_parse_arguments(ARG "" "" "DEPENDS;QT" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
        ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    file(GLOB_RECURSE lists_files RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
        ${CMAKE_CURRENT_SOURCE_DIR}/CMakeLists.txt)
    foreach(lists ${lists_files})
        get_filename_component(folder ${lists} DIRECTORY)
        if(folder)
            list(FILTER sources EXCLUDE REGEX "^${folder}/")
        endif()
    endforeach()
    list(TRANSFORM sources PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
    add_library(velmora_${name} STATIC ${sources})
    target_include_directories(velmora_${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(velmora_${name} PUBLIC ${ARG_DEPENDS} ${ARG_QT})
endfunction()
