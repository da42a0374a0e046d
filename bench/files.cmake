# Adding drawings to the Files page by folder search, timed against the command interpreter listing the
# same tree. Windows build; run by hand under Wine (see files/FilesBench.cpp), never by ctest.
if(KEST_WINDOWS)
    add_executable(bench_files ${CMAKE_CURRENT_LIST_DIR}/files/FilesBench.cpp)
    target_link_libraries(bench_files PRIVATE transmora_core drawgen)
    kest_windows_program(bench_files)
    add_dependencies(bench_files keNoluRes_en)
endif()
