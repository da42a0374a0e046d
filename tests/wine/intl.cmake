# Every language module: the dialogs fit their texts; the wizard in German; and
# on a Japanese system (code page 932) a run of drawings with Japanese names.
# The pictures of the Begin and Files pages land in intl-shots/ of the build folder.
add_executable(intl_test
    ${CMAKE_CURRENT_LIST_DIR}/intl/LayoutTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/intl/WizardInLanguage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/intl/GermanPagesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/intl/JapaneseRunTest.cpp)
set_target_properties(intl_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KEST_TEST_BIN})
target_include_directories(intl_test PRIVATE ${CMAKE_CURRENT_LIST_DIR}/intl)
target_link_libraries(intl_test PRIVATE transmora_core drawgen wine_test_support gtest_main)
add_dependencies(intl_test Transmora HostSetup drxl drxlmres)
foreach(module keNoluRes_en keNoluRes_de keNoluRes_ja drxlmres_de drxlmres_ja dwgmigr_txt)
    if(TARGET ${module})
        add_dependencies(intl_test ${module})
    endif()
endforeach()

kest_wine_test(NAME wine_intl TARGET intl_test GUI TIMEOUT 300 ARGS --gtest_filter=-Japanese.*)
set_property(TEST wine_intl APPEND PROPERTY ENVIRONMENT "KEST_WIZARD_SHOTS=${CMAKE_BINARY_DIR}/intl-shots")

# A Japanese system: Wine takes the system language and code page from the locale it runs in.
set(japanese LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8)
add_test(NAME wine_template_ja_setup
         COMMAND ${CMAKE_CURRENT_LIST_DIR}/make-template.sh ${KEST_WINE_TEMPLATE}-ja ${KEST_WINE_TEMPLATE})
set_tests_properties(wine_template_ja_setup PROPERTIES ENVIRONMENT "${japanese}" TIMEOUT 300 LABELS wine
                     FIXTURES_SETUP wine_template_ja FIXTURES_REQUIRED wine_template)
kest_wine_test(NAME wine_japanese TARGET intl_test GUI TIMEOUT 300 ARGS --gtest_filter=Japanese.*:Layout.*)
set(env KEST_WINE_TEMPLATE=${KEST_WINE_TEMPLATE}-ja KEST_BIN=${CMAKE_BINARY_DIR}/bin KEST_XVFB=1 ${japanese}
        KEST_WIZARD_SHOTS=${CMAKE_BINARY_DIR}/intl-shots)
set_tests_properties(wine_japanese PROPERTIES FIXTURES_REQUIRED "wine_template;wine_template_ja" ENVIRONMENT "${env}")
