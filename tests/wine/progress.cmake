# The progress dialog and the run supervision under Wine: RunJob runs a whole
# job without the wizard; the suites drive its dialog against the simulated host.
add_executable(RunJob ${CMAKE_CURRENT_LIST_DIR}/progress/RunJob.cpp)
set_target_properties(RunJob PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KEST_TEST_BIN})
target_link_libraries(RunJob PRIVATE transmora_core)
kest_windows_program(RunJob)

add_executable(progress_test
    ${CMAKE_CURRENT_LIST_DIR}/progress/ControlsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/progress/RunTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/progress/HostsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/progress/StopTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/progress/TimeoutTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/progress/JobTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/progress/JobRun.cpp
    ${CMAKE_CURRENT_LIST_DIR}/progress/RunBed.cpp
    ${CMAKE_CURRENT_LIST_DIR}/progress/ControlsTest.rc)
set_target_properties(progress_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KEST_TEST_BIN})
target_include_directories(progress_test PRIVATE ${CMAKE_CURRENT_LIST_DIR}/progress)
target_link_libraries(progress_test PRIVATE transmora_core wine_test_support gtest_main)
add_dependencies(progress_test RunJob HostSetup MakeDrawing drxl drxlmres keNoluRes_en Puppet)

# Split so that ctest can run them side by side; only the time-out suite takes long.
kest_wine_test(NAME wine_progress_controls TARGET progress_test GUI TIMEOUT 120 ARGS --gtest_filter=Controls.*)
kest_wine_test(NAME wine_progress_run TARGET progress_test GUI TIMEOUT 600 ARGS --gtest_filter=ProgressRun.*)
kest_wine_test(NAME wine_progress_hosts TARGET progress_test GUI TIMEOUT 400
               ARGS --gtest_filter=ProgressHosts.*:ProgressStartCheck.*)
kest_wine_test(NAME wine_progress_stop TARGET progress_test GUI TIMEOUT 600 ARGS --gtest_filter=ProgressStop.*)
kest_wine_test(NAME wine_progress_timeout TARGET progress_test GUI TIMEOUT 400 ARGS --gtest_filter=ProgressTimeout.*)
kest_wine_test(NAME wine_progress_job TARGET progress_test GUI TIMEOUT 400 ARGS --gtest_filter=ProgressJob.*)
