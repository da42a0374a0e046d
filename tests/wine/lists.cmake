# Text locale and streams, run lists and log, drawing list files.
set(lists_dir ${CMAKE_CURRENT_LIST_DIR}/lists)
foreach(suite TextStream RunLog DmlFile)
    add_executable(lists_${suite} ${lists_dir}/${suite}Test.cpp ${lists_dir}/ListsTest.cpp)
    set_target_properties(lists_${suite} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KEST_TEST_BIN})
    target_include_directories(lists_${suite} PRIVATE ${lists_dir})
    target_link_libraries(lists_${suite} PRIVATE transmora_core wine_test_support gtest_main)
endforeach()
# Only one suite may define the application object; the others share a file of their own.
target_sources(lists_TextStream PRIVATE ${lists_dir}/ListsApp.cpp)
target_sources(lists_DmlFile PRIVATE ${lists_dir}/ListsApp.cpp)
kest_wine_test(NAME wine_lists_text TARGET lists_TextStream)
kest_wine_test(NAME wine_lists_run TARGET lists_RunLog)
kest_wine_test(NAME wine_lists_dml TARGET lists_DmlFile GUI)
# Two processes on one list at once: locked marks and claims. The suite starts itself as the workers.
add_executable(lists_SharedList ${lists_dir}/SharedListTest.cpp ${lists_dir}/ListsTest.cpp ${lists_dir}/ListsApp.cpp)
set_target_properties(lists_SharedList PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KEST_TEST_BIN})
target_include_directories(lists_SharedList PRIVATE ${lists_dir})
target_link_libraries(lists_SharedList PRIVATE transmora_core wine_test_support gtest)
kest_windows_program(lists_SharedList)
kest_wine_test(NAME wine_lists_shared TARGET lists_SharedList)
# The same two workers in two prefixes, as two workstations on one share.
add_test(NAME wine_lists_shared_prefixes
         COMMAND ${lists_dir}/two-prefixes.sh $<TARGET_FILE:lists_SharedList>)
set_tests_properties(wine_lists_shared_prefixes PROPERTIES
    ENVIRONMENT "KEST_WINE_TEMPLATE=${KEST_WINE_TEMPLATE};KEST_BIN=${CMAKE_BINARY_DIR}/bin"
    TIMEOUT 600 FIXTURES_REQUIRED wine_template LABELS wine)
