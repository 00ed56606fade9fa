# Included from the GUI block of tests/CMakeLists.txt, once quilvane_gui_tests exists.
target_sources(quilvane_gui_tests PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/StatisticsDialogTest.cpp
)
