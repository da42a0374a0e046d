# Support path, window title matching, the extension log scanner, the progress number, the time budgets
# and the journal bytes.
kest_native_test(NAME native_profile
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/profile/SupportPathTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/profile/HostTitleMatchTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/profile/HostLogScannerTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/profile/ProgressNumberTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/profile/DrawingBudgetTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/profile/JournalCodecTest.cpp
    LIBS host_portable supervise_portable app_run_record)
