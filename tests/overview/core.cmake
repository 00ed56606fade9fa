target_sources(quilvane_core_tests PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/OverviewLogicTest.cpp
)
