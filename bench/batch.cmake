# Preparing a run and writing the batch file for 10,000 drawings, against one
# plain write of as many bytes (Windows build; run by hand under Wine, never by ctest).
if(KEST_WINDOWS)
    add_executable(bench_batch ${CMAKE_CURRENT_LIST_DIR}/batch/BatchBench.cpp)
    target_link_libraries(bench_batch PRIVATE transmora_core)
    kest_windows_program(bench_batch)
endif()
