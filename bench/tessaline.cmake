# Tessaline's benchmark: one full run over a generated registration folder; the generator of
# such a folder for timing the program by hand; and the latency shim that makes a local disk
# answer like a file server (bench/tessaline-scale uses all three).
add_executable(TessalineBench
    ${CMAKE_CURRENT_LIST_DIR}/TessalineBench.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TessalineFolder.cpp)
target_link_libraries(TessalineBench PRIVATE tessaline_lib benchmark::benchmark)

add_executable(tessaline-folder
    ${CMAKE_CURRENT_LIST_DIR}/TessalineFolderMain.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TessalineFolder.cpp)

add_library(tessaline-latency-shim MODULE ${CMAKE_CURRENT_LIST_DIR}/LatencyShim.cpp)
target_link_libraries(tessaline-latency-shim PRIVATE ${CMAKE_DL_LIBS})
set_target_properties(tessaline-latency-shim PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
