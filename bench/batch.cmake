# The batch: preparing a run and writing its batch file for 10,000 drawings
# against one plain write of as many bytes, and the batch's own time per
# drawing with a host that ends at once (Windows build; run by hand under
# Wine or by bench.sh, never by ctest).
if(KEST_WINDOWS)
    add_executable(bench_batch ${CMAKE_CURRENT_LIST_DIR}/batch/BatchBench.cpp)
    target_link_libraries(bench_batch PRIVATE transmora_core)
    kest_windows_program(bench_batch)
    add_executable(QuickHost WIN32 ${CMAKE_CURRENT_LIST_DIR}/batch/QuickHost.cpp)
    kest_windows_program(QuickHost)
    add_dependencies(bench_batch QuickHost keNoluRes_en keNoluRes_ja)
endif()
