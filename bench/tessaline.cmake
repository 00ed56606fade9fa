# Tessaline's benchmark: one full run over a generated registration folder.
add_executable(TessalineBench ${CMAKE_CURRENT_LIST_DIR}/TessalineBench.cpp)
target_link_libraries(TessalineBench PRIVATE tessaline_lib benchmark::benchmark)
