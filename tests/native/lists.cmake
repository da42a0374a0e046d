# Drawing lists and their format, under ASan/UBSan.
kest_native_test(NAME native_lists
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/lists/MultiByteTest.cpp ${CMAKE_CURRENT_LIST_DIR}/lists/DmlFormatTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/lists/ListClaimsTest.cpp
    LIBS drawings_paths)
target_include_directories(native_lists PRIVATE ${KEST_ROOT}/drawings ${CMAKE_CURRENT_LIST_DIR}/lists)
