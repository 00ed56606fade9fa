# The class report's benchmark: Tessaline's generated class folder with real project files, read
# by `quilvane-cli class` (bench/class-report times it).
add_executable(class-folder
    ${CMAKE_CURRENT_LIST_DIR}/ClassFolderMain.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TessalineFolder.cpp)
target_link_libraries(class-folder PRIVATE quilvane_core)
