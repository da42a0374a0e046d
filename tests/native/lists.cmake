# Drawing lists, their format and the language table, under ASan/UBSan.
kest_native_test(NAME native_lists
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/lists/LanguageTableTest.cpp ${CMAKE_CURRENT_LIST_DIR}/lists/MultiByteTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/lists/DmlFormatTest.cpp ${CMAKE_CURRENT_LIST_DIR}/lists/ListClaimsTest.cpp
            ${KEST_ROOT}/app/LanguageTable.cpp
    LIBS drawings_paths)
target_include_directories(native_lists PRIVATE ${KEST_ROOT}/app ${KEST_ROOT}/drawings ${CMAKE_CURRENT_LIST_DIR}/lists)
