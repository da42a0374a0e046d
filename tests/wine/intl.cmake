# Every language module: the dialogs fit their texts; the wizard in German; and
# on a Japanese system (code page 932) a run of drawings with Japanese names.
# The pictures of the Begin and Files pages land in intl-shots/ of the build folder.
add_executable(intl_test
    ${CMAKE_CURRENT_LIST_DIR}/intl/LayoutTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/intl/WizardInLanguage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/intl/GermanPagesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/intl/JapaneseRunTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wizard/WizardTestSupport.cpp)
set_target_properties(intl_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KEST_TEST_BIN})
target_include_directories(intl_test PRIVATE ${CMAKE_CURRENT_LIST_DIR}/intl ${CMAKE_CURRENT_LIST_DIR}/wizard)
target_compile_definitions(intl_test PRIVATE KEST_WIZARD_TEST_DIR="${CMAKE_CURRENT_LIST_DIR}/wizard")
target_link_libraries(intl_test PRIVATE transmora_core drawgen wine_test_support gtest_main)
add_dependencies(intl_test Transmora HostSetup drxl drxlmres)
foreach(module keNoluRes_en keNoluRes_de keNoluRes_ja)
    if(TARGET ${module})
        add_dependencies(intl_test ${module})
    endif()
endforeach()

kest_wine_test(NAME wine_intl TARGET intl_test GUI TIMEOUT 300 ARGS --gtest_filter=-Japanese.*)
kest_wine_test(NAME wine_japanese TARGET intl_test GUI TIMEOUT 480 ARGS --gtest_filter=Japanese.*:Layout.*)
set_property(TEST wine_intl wine_japanese APPEND PROPERTY ENVIRONMENT "KEST_WIZARD_SHOTS=${CMAKE_BINARY_DIR}/intl-shots")
# A Japanese system: Wine takes the system language and code page from the locale it runs in.
set_property(TEST wine_japanese APPEND PROPERTY ENVIRONMENT "LANG=ja_JP.UTF-8" "LC_ALL=ja_JP.UTF-8")
