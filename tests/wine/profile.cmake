# Host profile preparation against the registry, and the window watching with
# a puppet host (and the simulated host when it is built).
add_executable(profile_test ${CMAKE_CURRENT_LIST_DIR}/profile/ProfileTest.cpp)
set_target_properties(profile_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KEST_TEST_BIN})
target_link_libraries(profile_test PRIVATE transmora_core wine_test_support gtest_main)
kest_wine_test(NAME wine_profile TARGET profile_test TIMEOUT 120)

add_executable(Puppet ${CMAKE_CURRENT_LIST_DIR}/profile/Puppet.cpp ${CMAKE_CURRENT_LIST_DIR}/profile/Puppet.rc)
set_target_properties(Puppet PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KEST_TEST_BIN})
target_link_libraries(Puppet PRIVATE user32)
kest_windows_program(Puppet)

add_executable(watch_test ${CMAKE_CURRENT_LIST_DIR}/profile/WatchTest.cpp ${CMAKE_CURRENT_LIST_DIR}/profile/LogScanTest.cpp
                          ${CMAKE_CURRENT_LIST_DIR}/profile/WatchTest.rc)
set_target_properties(watch_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KEST_TEST_BIN})
target_link_libraries(watch_test PRIVATE transmora_core wine_test_support gtest_main)
add_dependencies(watch_test Puppet HostSetup drxlmres keNoluRes_en)
kest_wine_test(NAME wine_watch TARGET watch_test GUI TIMEOUT 300)
