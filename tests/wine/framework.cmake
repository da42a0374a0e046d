add_executable(framework_test
    ${CMAKE_CURRENT_LIST_DIR}/framework/FrameworkTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/framework/FrameworkTest.rc)
set_target_properties(framework_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KEST_TEST_BIN})
target_include_directories(framework_test PRIVATE ${CMAKE_CURRENT_LIST_DIR}/framework)
target_link_libraries(framework_test PRIVATE framework wine_test_support gtest_main)
kest_wine_test(NAME wine_framework TARGET framework_test GUI)
