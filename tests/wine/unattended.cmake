# Transmora.exe from the command line, as a scheduled task starts it.
add_executable(unattended_test
    ${CMAKE_CURRENT_LIST_DIR}/unattended/UnattendedTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/recovery/RecoveryBed.cpp)
set_target_properties(unattended_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KEST_TEST_BIN})
target_include_directories(unattended_test PRIVATE ${CMAKE_CURRENT_LIST_DIR}/recovery)
target_link_libraries(unattended_test PRIVATE transmora_core wine_test_support gtest_main)
add_dependencies(unattended_test Transmora HostSetup MakeDrawing drxl drxlmres keNoluRes_en)

kest_wine_test(NAME wine_unattended TARGET unattended_test GUI TIMEOUT 900)
