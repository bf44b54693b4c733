cmake_minimum_required(VERSION 3.25)

# The layering rules, checked on every source of SOURCE_DIR (src/ or a test fixture like it):
#
#  1. A core source (any file outside a ui/ folder, main.cpp aside) includes no widget header:
#     the core libraries build without QtWidgets.
#  2. A core source includes nothing from a ui/ folder.
#  3. Nothing outside src/app includes anything of src/app: the main window, which composes the
#     program, is the top, and no window or controller reaches it.
#  4. A folder includes only the folders below it (the table); a window (ui/) may include the
#     windows and the core of those folders, a core source only their core.
#
# Fails with a list of every offending include.

set(allowed_base base)
set(allowed_resources resources)
set(allowed_meter base meter)
set(allowed_panel base meter panel resources)
set(allowed_files base files)
set(allowed_survey base files survey)
set(allowed_chart base files survey chart)
set(allowed_graph base files survey chart graph)
set(allowed_logger base meter survey chart graph files logger)
set(allowed_cli base meter survey chart graph files logger print cli)
set(allowed_leq base meter survey chart graph files leq)
set(allowed_print base survey chart graph files print)

file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp)
set(offenders "")
foreach(source IN LISTS sources)
    string(REGEX MATCH "^[^/]+" folder "${source}")
    set(is_ui FALSE)
    if(source MATCHES "/ui/")
        set(is_ui TRUE)
    endif()
    set(is_main FALSE)
    if(source MATCHES "/main\\.cpp$")
        set(is_main TRUE)
    endif()

    file(STRINGS ${SOURCE_DIR}/${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS lines)
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*" "\\1" header "${line}")
        if(NOT is_ui AND NOT is_main
           AND header MATCHES "^(QtWidgets/|QtPrintSupport/|QWidget|QMainWindow|QDialog|QLabel|QMessageBox|QApplication|QMdi|qcustomplot)")
            list(APPEND offenders "${source}: a core file includes the widget header ${header}")
        endif()
        if(NOT line MATCHES "\"")
            continue() # a library's header
        endif()
        string(REGEX MATCH "^[^/]+" target "${header}")
        if(target STREQUAL header OR NOT EXISTS ${SOURCE_DIR}/${target})
            continue() # not one of the program's folders (a generated or a test header)
        endif()
        if(NOT is_ui AND NOT is_main AND header MATCHES "/ui/")
            list(APPEND offenders "${source}: a core file includes the window header ${header}")
        endif()
        if(folder STREQUAL "app")
            continue()
        endif()
        if(target STREQUAL "app")
            list(APPEND offenders "${source}: only src/app may include ${header}")
            continue()
        endif()
        if(NOT DEFINED allowed_${folder})
            list(APPEND offenders "${source}: the folder ${folder} has no place in the layers")
            continue()
        endif()
        if(NOT target IN_LIST allowed_${folder})
            list(APPEND offenders "${source}: ${folder} may not include ${header} (${target} lies above it)")
        endif()
    endforeach()
endforeach()

if(offenders)
    string(REPLACE ";" "\n" report "${offenders}")
    message(FATAL_ERROR "Layering broken:\n${report}")
endif()
list(LENGTH sources count)
message(STATUS "layering: ${count} sources keep to their layers")
