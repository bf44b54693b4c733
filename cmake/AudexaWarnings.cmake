# audexa_warnings(target): the project's warning set; warnings are errors unless AUDEXA_WERROR is off.
function(audexa_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                             -Wold-style-cast -Wcast-align -Woverloaded-virtual)
    if(AUDEXA_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

# audexa_core_library(name SOURCES ... LIBS ...): a widget-free library. It links QtCore (and
# QtGui where a colour or an image is data) but never QtWidgets: the layering test checks that.
function(audexa_core_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC Qt6::Core ${ARG_LIBS})
    target_compile_definitions(${name} PRIVATE QT_NO_KEYWORDS)
    audexa_warnings(${name})
endfunction()

# audexa_ui_library(name SOURCES ... LIBS ...): windows of one ui/ folder, on QtWidgets.
function(audexa_ui_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_LIBS} Qt6::Widgets Qt6::PrintSupport)
    audexa_warnings(${name})
endfunction()
