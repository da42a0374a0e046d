# Host profile preparation against the registry.
add_executable(profile_test ${CMAKE_CURRENT_LIST_DIR}/profile/ProfileTest.cpp)
set_target_properties(profile_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KEST_TEST_BIN})
target_link_libraries(profile_test PRIVATE transmora_core wine_test_support gtest_main)
kest_wine_test(NAME wine_profile TARGET profile_test TIMEOUT 120)

