# The driver of scripts/demo.sh: prepares the sample drawings and goes through
# Transmora's wizard as a user would when there is no display to show it on.
# CI runs it through scripts/test.sh, which runs the demo after the suites.
add_executable(DemoTour ${CMAKE_CURRENT_LIST_DIR}/demo/DemoTour.cpp)
set_target_properties(DemoTour PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KEST_TEST_BIN})
target_link_libraries(DemoTour PRIVATE transmora_core drawgen wine_test_support)
kest_windows_program(DemoTour)
add_dependencies(DemoTour Transmora HostSetup drxl drxlmres keNoluRes_en)
