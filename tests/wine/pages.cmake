# The Standards, Search and Finish pages in a wizard of their own, run in this
# process against a simulated host; and the tour: Transmora.exe from the Begin
# page to a finished run, whose screenshots land in tour-shots/ of the build folder.
add_executable(pages_test
    ${CMAKE_CURRENT_LIST_DIR}/pages/PagesFixture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/pages/StdsPageTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/pages/SearchPageTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/pages/FinishPageTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/pages/TourTest.cpp)
set_target_properties(pages_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KEST_TEST_BIN})
target_include_directories(pages_test PRIVATE ${CMAKE_CURRENT_LIST_DIR}/pages)
target_link_libraries(pages_test PRIVATE transmora_core wine_test_support gtest_main)
add_dependencies(pages_test Transmora HostSetup MakeDrawing drxl drxlmres keNoluRes_en)

kest_wine_test(NAME wine_pages TARGET pages_test GUI TIMEOUT 600 ARGS --gtest_filter=-Tour.*)
kest_wine_test(NAME wine_tour TARGET pages_test GUI TIMEOUT 480 ARGS --gtest_filter=Tour.*)
set_property(TEST wine_tour APPEND PROPERTY ENVIRONMENT "KEST_WIZARD_SHOTS=${CMAKE_BINARY_DIR}/tour-shots")
