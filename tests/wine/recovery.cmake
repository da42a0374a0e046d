# Transmora.exe ended during a run, and its next start: the profile journal,
# the single instance and the continued migration. The prefix suite runs the
# program twice in one prefix and ends all of its processes in between.
add_executable(recovery_test
    ${CMAKE_CURRENT_LIST_DIR}/recovery/RecoveryBed.cpp
    ${CMAKE_CURRENT_LIST_DIR}/recovery/RecoveryTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/recovery/ContinueTest.cpp)
set_target_properties(recovery_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KEST_TEST_BIN})
target_include_directories(recovery_test PRIVATE ${CMAKE_CURRENT_LIST_DIR}/recovery)
target_link_libraries(recovery_test PRIVATE transmora_core wine_test_support gtest_main)
add_dependencies(recovery_test Transmora HostSetup MakeDrawing drxl drxlmres keNoluRes_en Puppet)

kest_wine_test(NAME wine_recovery TARGET recovery_test GUI TIMEOUT 600 ARGS --gtest_filter=Recovery.*)
kest_wine_test(NAME wine_continue TARGET recovery_test GUI TIMEOUT 900 ARGS --gtest_filter=Continue.*)
kest_wine_test(NAME wine_continue_prefix_end TARGET recovery_test GUI TIMEOUT 600
               ARGS --gtest_filter=ContinueAfterPrefixEnd.*)
set_property(TEST wine_continue_prefix_end APPEND PROPERTY ENVIRONMENT "KEST_END_PREFIX_BETWEEN=1")
