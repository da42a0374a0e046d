# The window watching and the log scan, with a puppet host (and the simulated host when it is built).
add_executable(Puppet ${CMAKE_CURRENT_LIST_DIR}/supervise/Puppet.cpp ${CMAKE_CURRENT_LIST_DIR}/supervise/Puppet.rc)
set_target_properties(Puppet PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KEST_TEST_BIN})
target_link_libraries(Puppet PRIVATE user32)
kest_windows_program(Puppet)

add_executable(watch_test ${CMAKE_CURRENT_LIST_DIR}/supervise/WatchTest.cpp
                          ${CMAKE_CURRENT_LIST_DIR}/supervise/LogScanTest.cpp
                          ${CMAKE_CURRENT_LIST_DIR}/supervise/WatchTest.rc)
set_target_properties(watch_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KEST_TEST_BIN})
target_link_libraries(watch_test PRIVATE transmora_core wine_test_support gtest_main)
add_dependencies(watch_test Puppet HostSetup drxlmres keNoluRes_en)
kest_wine_test(NAME wine_watch TARGET watch_test GUI TIMEOUT 300)
