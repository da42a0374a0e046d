# The wizard: its frame and Begin page, the help window, the folder chooser and
# the small notices in this process, and Transmora.exe driven as a user would.
# The documentation's screenshots land in wizard-shots/ of the build folder.
add_executable(wizard_test
    ${CMAKE_CURRENT_LIST_DIR}/wizard/WizardFixture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wizard/WizardTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wizard/HelpTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wizard/FolderBrowserTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wizard/ProgramTest.cpp)
set_target_properties(wizard_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KEST_TEST_BIN})
target_include_directories(wizard_test PRIVATE ${CMAKE_CURRENT_LIST_DIR}/wizard)
target_link_libraries(wizard_test PRIVATE transmora_core wine_test_support gtest_main)
add_dependencies(wizard_test Transmora HostSetup keNoluRes_en dwgmigr_txt)
kest_wine_test(NAME wine_wizard TARGET wizard_test GUI TIMEOUT 900)
set_property(TEST wine_wizard APPEND PROPERTY ENVIRONMENT "KEST_WIZARD_SHOTS=${CMAKE_BINARY_DIR}/wizard-shots")
