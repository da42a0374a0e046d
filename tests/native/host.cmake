# Support path and the profile journal's bytes (with the run record's, which share its reader and writer).
kest_native_test(NAME native_host
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/host/SupportPathTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/host/JournalCodecTest.cpp
    LIBS host_portable app_run_record)
