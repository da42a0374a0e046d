# The batch run against the simulated host, in-process with the application object.
add_executable(batch_test ${CMAKE_CURRENT_LIST_DIR}/batch/BatchRunTest.cpp ${CMAKE_CURRENT_LIST_DIR}/batch/SimHostTest.cpp)
set_target_properties(batch_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KEST_TEST_BIN})
target_link_libraries(batch_test PRIVATE transmora_core drawgen wine_test_support gtest_main)
add_dependencies(batch_test drxl HostSetup keNoluRes_en keNoluRes_de keNoluRes_ja)
kest_wine_test(NAME wine_batch TARGET batch_test GUI TIMEOUT 900)
