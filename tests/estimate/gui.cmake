target_sources(quilvane_gui_tests PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/EstimateDialogTest.cpp
)
