# The language table of the application's text locale.
kest_native_test(NAME native_app SOURCES ${CMAKE_CURRENT_LIST_DIR}/app/LanguageTableTest.cpp ${KEST_ROOT}/app/LanguageTable.cpp)
target_include_directories(native_app PRIVATE ${KEST_ROOT}/app)
