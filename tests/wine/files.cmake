# The Files page and the Options page in the wizard of this process, driven as a user would from a
# second thread. The screenshots for the documentation land in files-shots/ of the build folder.
add_executable(files_test
    ${CMAKE_CURRENT_LIST_DIR}/files/FilesMain.cpp
    ${CMAKE_CURRENT_LIST_DIR}/files/FilesHarness.cpp
    ${CMAKE_CURRENT_LIST_DIR}/files/FilesFixture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/files/FilesPageTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/files/FilesListTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/files/OptionsPageTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/files/ScreenshotsTest.cpp)
set_target_properties(files_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KEST_TEST_BIN})
target_include_directories(files_test PRIVATE ${CMAKE_CURRENT_LIST_DIR}/files)
target_compile_definitions(files_test PRIVATE KEST_FILES_TEST_DIR="${CMAKE_CURRENT_LIST_DIR}/files")
target_link_libraries(files_test PRIVATE transmora_core drawgen wine_test_support gtest)
add_dependencies(files_test keNoluRes_en)
kest_wine_test(NAME wine_files TARGET files_test GUI TIMEOUT 600)
set_property(TEST wine_files APPEND PROPERTY ENVIRONMENT "KEST_FILES_SHOTS=${CMAKE_BINARY_DIR}/files-shots")
