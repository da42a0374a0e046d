# Lustrane under Wine: the real program against the real registry.
add_executable(sanitizer_test ${CMAKE_CURRENT_LIST_DIR}/sanitizer/LustraneWineTest.cpp)
set_target_properties(sanitizer_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KEST_TEST_BIN})
target_link_libraries(sanitizer_test PRIVATE wine_test_support gtest_main advapi32)
add_dependencies(sanitizer_test Lustrane)
kest_wine_test(NAME wine_sanitizer TARGET sanitizer_test)
