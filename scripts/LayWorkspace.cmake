# Copies every file of the shipped workspace into DEST unless a file of that name is there
# already, so that a rebuild never overwrites a student's settings or projects.
file(GLOB_RECURSE files RELATIVE ${SOURCE} ${SOURCE}/init/* ${SOURCE}/prob/* ${SOURCE}/projects/*)
foreach(f IN LISTS files)
    if(NOT EXISTS ${DEST}/${f})
        get_filename_component(dir ${DEST}/${f} DIRECTORY)
        file(MAKE_DIRECTORY ${dir})
        file(COPY ${SOURCE}/${f} DESTINATION ${dir})
    endif()
endforeach()
