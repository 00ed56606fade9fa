# LOC counter benchmarks: the Google Benchmark and the generator of input trees used by compare-loc.
add_library(loc_tree_generator STATIC ${CMAKE_CURRENT_LIST_DIR}/LocTreeGenerator.cpp)
target_link_libraries(loc_tree_generator PUBLIC quilvane_core)

add_executable(loc-tree-generator ${CMAKE_CURRENT_LIST_DIR}/LocTreeGeneratorMain.cpp)
target_link_libraries(loc-tree-generator PRIVATE loc_tree_generator)

add_executable(loc_bench ${CMAKE_CURRENT_LIST_DIR}/LocBench.cpp)
target_link_libraries(loc_bench PRIVATE loc_tree_generator benchmark::benchmark)
