# cmake -DCHECK=<layout_check.cmake> -DWORK=<scratch folder> -P layout_selftest.cmake
#
# Shows that the layout check catches each kind of violation: a tree with one forbidden
# include per rule must fail, naming every one of them, and the same tree without them must
# pass.
set(cases
    "core/a.cpp|#include \"ecology/taxalist.h\"|core may not use ecology"
    "ecology/a.cpp|#include \"recording/x.h\"|ecology may not use recording"
    "recording/a.cpp|#include \"maps/x.h\"|recording may not use maps"
    "charts/a.cpp|#include \"maps/x.h\"|charts may not use maps"
    "charts/b.cpp|#include \"ecology/x.h\"|charts may not use ecology"
    "maps/a.cpp|#include \"squares/x.h\"|maps may not use squares"
    "squares/a.cpp|#include \"session/x.h\"|squares may not use session"
    "support/a.cpp|#include \"ecology/x.h\"|support may not use ecology"
    "session/a.cpp|#include \"ui/x.h\"|session may not use ui"
    "cli/a.cpp|#include \"ui/x.h\"|cli may not use ui"
    "ui/a.cpp|#include \"app/x.h\"|ui may not use app"
    "session/b.cpp|#include <QWidget>|widgets below ui/"
    "charts/c.cpp|#include <QtWidgets/QLabel>|widgets below ui/"
    "core/dbf/a.cpp|#include <QString>|the table engine is plain C++"
    "core/dbf/b.cpp|#include \"core/settings.h\"|the table engine is plain C++")
set(allowed
    "squares/ok.cpp|#include \"maps/x.h\""
    "squares/ok2.cpp|#include \"charts/x.h\""
    "maps/ok.cpp|#include \"charts/x.h\""
    "session/ok.cpp|#include \"squares/x.h\""
    "ui/ok.cpp|#include <QWidget>"
    "core/dbf/ok.cpp|#include \"core/dbf/fileio.h\"")

file(REMOVE_RECURSE ${WORK})
foreach(entry ${cases} ${allowed})
    string(REPLACE "|" ";" parts "${entry}")
    list(GET parts 0 path)
    list(GET parts 1 include)
    file(WRITE ${WORK}/${path} "${include}\n")
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${WORK} -P ${CHECK}
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(result EQUAL 0)
    message(FATAL_ERROR "the layout check passed a tree full of violations")
endif()
foreach(entry ${cases})
    string(REPLACE "|" ";" parts "${entry}")
    list(GET parts 0 path)
    list(GET parts 2 reason)
    string(FIND "${out}" "${path}: " at)
    string(FIND "${out}" "(${reason})" why)
    if(at EQUAL -1 OR why EQUAL -1)
        message(FATAL_ERROR "not caught: ${path} (${reason})\n${out}")
    endif()
endforeach()
foreach(entry ${allowed})
    string(REPLACE "|" ";" parts "${entry}")
    list(GET parts 0 path)
    string(FIND "${out}" "${path}: " at)
    if(NOT at EQUAL -1)
        message(FATAL_ERROR "refused an allowed include: ${path}\n${out}")
    endif()
endforeach()
file(REMOVE_RECURSE ${WORK})
message(STATUS "every sample violation caught")
