# Supervision cost per poll and per scan of a 100,000-line extension log,
# against one plain read of that file (Windows build; run by hand under Wine,
# never by ctest).
if(KEST_WINDOWS)
    add_executable(bench_progress ${CMAKE_CURRENT_LIST_DIR}/progress/ProgressBench.cpp)
    set_target_properties(bench_progress PROPERTIES OUTPUT_NAME ProgressBench)
    target_link_libraries(bench_progress PRIVATE transmora_core)
    kest_windows_program(bench_progress)
endif()
