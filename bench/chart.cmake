# The statistics chart view opened over many projects, on the offscreen platform.
if(TARGET quilvane_gui)
    add_executable(chart_bench ${CMAKE_CURRENT_LIST_DIR}/ChartBench.cpp
        ${CMAKE_CURRENT_LIST_DIR}/GuiBenchMain.cpp)
    target_link_libraries(chart_bench PRIVATE quilvane_gui benchmark::benchmark)
endif()
