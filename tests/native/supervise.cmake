# Window title matching, the extension log scanner, the progress number and the time budgets.
kest_native_test(NAME native_supervise
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/supervise/HostTitleMatchTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/supervise/HostLogScannerTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/supervise/ProgressNumberTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/supervise/DrawingBudgetTest.cpp
    LIBS supervise_portable)
