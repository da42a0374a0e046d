# Unattended runs: command line, CSV report and time left, under ASan/UBSan.
kest_native_test(NAME native_unattended
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/unattended/UnattendedLogicTest.cpp ${KEST_ROOT}/app/KestCommandLine.cpp
            ${KEST_ROOT}/app/ReportCsv.cpp ${KEST_ROOT}/supervise/TimeLeft.cpp
    LIBS drawings_paths)
target_include_directories(native_unattended PRIVATE ${KEST_ROOT}/app ${KEST_ROOT}/supervise ${KEST_ROOT}/drawings)
