# Support path, window title matching and the extension log scanner.
kest_native_test(NAME native_profile
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/profile/SupportPathTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/profile/HostTitleMatchTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/profile/HostLogScannerTest.cpp
    LIBS host_portable supervise_portable)
