# Time log list: the core sort of 20,000 entries, and the dialog's fill, sort and close on the
# offscreen platform.
if(TARGET quilvane_gui)
    add_executable(logs_bench ${CMAKE_CURRENT_LIST_DIR}/LogsBench.cpp
        ${CMAKE_CURRENT_LIST_DIR}/GuiBenchMain.cpp)
    target_link_libraries(logs_bench PRIVATE quilvane_gui benchmark::benchmark)
endif()
