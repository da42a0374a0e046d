# The Search page's folder lists and folder comparison, and the Finish page's
# log path rule, under ASan/UBSan.
kest_native_test(NAME native_pages
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/pages/FolderListFormatTest.cpp ${CMAKE_CURRENT_LIST_DIR}/pages/SearchFoldersTest.cpp
            ${KEST_ROOT}/wizard/FolderListFormat.cpp ${KEST_ROOT}/wizard/SearchFolders.cpp
    LIBS drawings_paths)
target_include_directories(native_pages PRIVATE ${KEST_ROOT}/wizard ${KEST_ROOT}/drawings)
