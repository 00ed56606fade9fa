# Statistics scan and PROBE refit over a program folder of many projects.
add_executable(statistics_bench ${CMAKE_CURRENT_LIST_DIR}/StatisticsBench.cpp)
target_link_libraries(statistics_bench PRIVATE quilvane_core benchmark::benchmark)
