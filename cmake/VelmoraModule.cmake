# One library target per module folder. Sources are collected from the folder (and its
# sub-folders), so adding a file needs no edit here; the allowed dependencies are named
# explicitly, which is what keeps the layers honest: a module that includes a header of a
# module it may not use fails to compile or link.
function(velmora_module name)
    cmake_parse_arguments(ARG "" "" "DEPENDS;QT" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS
        ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    add_library(velmora_${name} STATIC ${sources})
    target_include_directories(velmora_${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(velmora_${name} PUBLIC ${ARG_DEPENDS} ${ARG_QT})
endfunction()
