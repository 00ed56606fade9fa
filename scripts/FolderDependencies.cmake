# The folders of the source tree and the folders each may include from. Every include is written
# "folder/File.h" from the source root, so one include directory reaches every folder; this check
# is what keeps the dependencies one way. It runs at configure time, and again as part of every
# build once a source file of a checked folder changed (target folder_dependencies), so an include
# that goes up fails the build.
#
#   platform <- project <- features <- mainwindow (the main window and its form) <- app
#
# ui holds the widgets every dialog shares and the interface the features reach the workbench
# through; it sits beside project, on platform alone. A feature may use another feature's core
# where the table says so (the statistics read the logs' list logic; the estimate fits the
# statistics' history; the overview's plan uses the statistics' phase ratios). Each folder lists
# only the folders it does include from, so a new arrow is a change to this table.
if(CMAKE_SCRIPT_MODE_FILE)
    cmake_minimum_required(VERSION 3.25)
endif()

set(QUILVANE_FOLDER_DEPENDENCIES
    "platform:"
    "progress:platform"
    "ui:platform"
    "project:platform"
    "logs:platform,project,ui"
    "statistics:platform,project,ui,logs"
    "estimate:platform,project,ui,statistics"
    "registration:platform,project,ui"
    "overview:platform,project,ui,statistics"
    "mainwindow:platform,project,ui,logs,statistics,estimate,registration,overview"
    "app:platform,project,ui,statistics,registration,overview,mainwindow"
    "cli:platform,project,ui,statistics,estimate,registration,overview,mainwindow"
)

# Arrows that must never be added to the table: the main window and its form reach the document
# only through mainwindow/WorkbenchDocument.h, which app/ implements; an include the other way
# would make the two folders one library again.
set(QUILVANE_FORBIDDEN_FOLDER_DEPENDENCIES
    "mainwindow:app"
)

# Fails the configure step with every include that reaches a folder its folder may not use.
function(quilvane_check_folder_dependencies)
    set(QUILVANE_CHECKED_SOURCES "")
    set(known "")
    foreach(entry IN LISTS QUILVANE_FOLDER_DEPENDENCIES)
        string(REPLACE ":" ";" parts "${entry}")
        list(GET parts 0 folder)
        list(APPEND known ${folder})
    endforeach()
    set(violations "")
    foreach(forbidden IN LISTS QUILVANE_FORBIDDEN_FOLDER_DEPENDENCIES)
        string(REPLACE ":" ";" parts "${forbidden}")
        list(GET parts 0 folder)
        list(GET parts 1 target)
        foreach(entry IN LISTS QUILVANE_FOLDER_DEPENDENCIES)
            if(entry MATCHES "^${folder}:(.*)$")
                string(REPLACE "," ";" allowed "${CMAKE_MATCH_1}")
                if(target IN_LIST allowed)
                    list(APPEND violations "  the table lets ${folder} use ${target}, which must never be")
                endif()
            endif()
        endforeach()
    endforeach()
    foreach(entry IN LISTS QUILVANE_FOLDER_DEPENDENCIES)
        string(FIND "${entry}" ":" colon)
        string(SUBSTRING "${entry}" 0 ${colon} folder)
        math(EXPR rest "${colon} + 1")
        string(SUBSTRING "${entry}" ${rest} -1 allowedText)
        string(REPLACE "," ";" allowed "${allowedText}")
        list(APPEND allowed ${folder})
        file(GLOB sources ${QUILVANE_SOURCE_ROOT}/${folder}/*.h ${QUILVANE_SOURCE_ROOT}/${folder}/*.cpp)
        list(APPEND QUILVANE_CHECKED_SOURCES ${sources})
        foreach(source IN LISTS sources)
            file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"/]+/")
            foreach(line IN LISTS includes)
                string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"/]+)/.*" "\\1" target "${line}")
                if(target IN_LIST known AND NOT target IN_LIST allowed)
                    file(RELATIVE_PATH shown ${QUILVANE_SOURCE_ROOT} ${source})
                    list(APPEND violations "  ${shown}: ${line} (${folder} may not use ${target})")
                endif()
            endforeach()
        endforeach()
    endforeach()
    if(violations)
        list(JOIN violations "\n" text)
        message(FATAL_ERROR "Includes against the folder order (scripts/FolderDependencies.cmake):\n${text}")
    endif()
    set(QUILVANE_CHECKED_SOURCES ${QUILVANE_CHECKED_SOURCES} PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
    # cmake -DQUILVANE_SOURCE_ROOT=<source> -DSTAMP=<file> -P FolderDependencies.cmake
    quilvane_check_folder_dependencies()
    file(TOUCH ${STAMP})
else()
    set(QUILVANE_SOURCE_ROOT ${CMAKE_SOURCE_DIR})
    quilvane_check_folder_dependencies()
    # The same check at build time, whenever a checked file changed.
    set(stamp ${CMAKE_BINARY_DIR}/folder_dependencies.stamp)
    add_custom_command(OUTPUT ${stamp}
        COMMAND ${CMAKE_COMMAND} -DQUILVANE_SOURCE_ROOT=${CMAKE_SOURCE_DIR} -DSTAMP=${stamp}
                -P ${CMAKE_CURRENT_LIST_FILE}
        DEPENDS ${QUILVANE_CHECKED_SOURCES} ${CMAKE_CURRENT_LIST_FILE}
        COMMENT "Checking that includes follow the folder order")
    add_custom_target(folder_dependencies ALL DEPENDS ${stamp})
endif()
