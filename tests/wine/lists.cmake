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
# Two processes on one list at once, in one prefix and in two: locked marks and claims.
add_executable(lists_SharedList ${lists_dir}/SharedListWorker.cpp ${lists_dir}/ListsTest.cpp ${lists_dir}/ListsApp.cpp)
set_target_properties(lists_SharedList PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KEST_TEST_BIN})
target_include_directories(lists_SharedList PRIVATE ${lists_dir})
target_link_libraries(lists_SharedList PRIVATE transmora_core wine_test_support)
kest_windows_program(lists_SharedList)
foreach(prefixes 1 2)
    add_test(NAME wine_lists_shared_${prefixes}
             COMMAND ${lists_dir}/shared-list.sh $<TARGET_FILE:lists_SharedList> ${prefixes})
    set_tests_properties(wine_lists_shared_${prefixes} PROPERTIES
        ENVIRONMENT "KEST_WINE_TEMPLATE=${KEST_WINE_TEMPLATE};KEST_BIN=${CMAKE_BINARY_DIR}/bin"
        TIMEOUT 600 FIXTURES_REQUIRED wine_template LABELS wine)
endforeach()
