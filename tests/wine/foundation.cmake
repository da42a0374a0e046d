add_executable(foundation_test
    ${CMAKE_CURRENT_LIST_DIR}/foundation/RegistryTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/foundation/SettingsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/foundation/StartupTest.cpp)
set_target_properties(foundation_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KEST_TEST_BIN})
target_link_libraries(foundation_test PRIVATE transmora_core wine_test_support gtest_main)
kest_wine_test(NAME wine_foundation TARGET foundation_test GUI)
