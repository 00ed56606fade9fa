# Statistics scan, PROBE refit and the quality measures over a program folder of many projects,
# measured in one run.
add_executable(statistics_bench ${CMAKE_CURRENT_LIST_DIR}/StatisticsBench.cpp
                                ${CMAKE_CURRENT_LIST_DIR}/QualityBench.cpp)
target_link_libraries(statistics_bench PRIVATE quilvane_core benchmark::benchmark)
