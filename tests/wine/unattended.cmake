# Transmora.exe from the command line, as a scheduled task starts it.
add_executable(unattended_test
    ${CMAKE_CURRENT_LIST_DIR}/unattended/UnattendedTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/recovery/RecoveryBed.cpp)
set_target_properties(unattended_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KEST_TEST_BIN})
target_include_directories(unattended_test PRIVATE ${CMAKE_CURRENT_LIST_DIR}/recovery)
target_link_libraries(unattended_test PRIVATE transmora_core wine_test_support gtest_main)
add_dependencies(unattended_test Transmora HostSetup MakeDrawing drxl drxlmres keNoluRes_en)

kest_wine_test(NAME wine_unattended TARGET unattended_test GUI TIMEOUT 900)

# Three prefixes as three workstations on one list on a share; one is ended mid-run.
add_executable(unattended_workstations
    ${CMAKE_CURRENT_LIST_DIR}/unattended/WorkstationsStep.cpp
    ${CMAKE_CURRENT_LIST_DIR}/recovery/RecoveryBed.cpp)
set_target_properties(unattended_workstations PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KEST_TEST_BIN})
target_include_directories(unattended_workstations PRIVATE ${CMAKE_CURRENT_LIST_DIR}/recovery)
target_link_libraries(unattended_workstations PRIVATE transmora_core wine_test_support gtest_main)
add_dependencies(unattended_workstations Transmora HostSetup MakeDrawing drxl drxlmres keNoluRes_en)
add_test(NAME wine_workstations
         COMMAND ${CMAKE_CURRENT_LIST_DIR}/unattended/workstations.sh $<TARGET_FILE:unattended_workstations>
                 ${CMAKE_BINARY_DIR}/bin/Transmora.exe)
set_tests_properties(wine_workstations PROPERTIES
    ENVIRONMENT "KEST_WINE_TEMPLATE=${KEST_WINE_TEMPLATE};KEST_BIN=${CMAKE_BINARY_DIR}/bin"
    TIMEOUT 900 FIXTURES_REQUIRED wine_template LABELS wine)
