kest_native_test(NAME native_batch
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/batch/HostScriptTest.cpp ${CMAKE_CURRENT_LIST_DIR}/batch/BatchTextTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/batch/BatchEnvironmentTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/batch/FaultMarkersTest.cpp
    LIBS app_batch_text simhost_faults)
