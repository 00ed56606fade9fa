# Copies every file of the shipped workspace into DEST unless a file of that name is there
# already, so that a rebuild never overwrites a student's settings or projects. Folders under
# "projects" become project folders directly in DEST; TEMPLATE becomes "init/work.psp".
function(lay source target)
    if(NOT EXISTS ${target})
        get_filename_component(dir ${target} DIRECTORY)
        file(MAKE_DIRECTORY ${dir})
        file(COPY_FILE ${source} ${target})
    endif()
endfunction()

file(GLOB_RECURSE files RELATIVE ${SOURCE} ${SOURCE}/init/* ${SOURCE}/prob/* ${SOURCE}/projects/*)
foreach(f IN LISTS files)
    if(f MATCHES "^init/work\\.json$")
        continue()
    endif()
    string(REGEX REPLACE "^projects/" "" target ${f})
    lay(${SOURCE}/${f} ${DEST}/${target})
endforeach()
if(DEFINED TEMPLATE)
    lay(${TEMPLATE} ${DEST}/init/work.psp)
endif()
