# The Files page's logic that needs no window: folder search rules, row order, duplicate index.
set(files_src ${KEST_ROOT}/wizard)
kest_native_test(NAME native_files
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/files/FolderSearchTest.cpp ${CMAKE_CURRENT_LIST_DIR}/files/DrawingOrderTest.cpp
            ${files_src}/FolderSearch.cpp ${files_src}/DrawingOrder.cpp
    LIBS drawings_paths)
target_include_directories(native_files PRIVATE ${files_src})
