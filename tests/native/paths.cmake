kest_native_test(NAME native_paths SOURCES ${CMAKE_CURRENT_LIST_DIR}/KestFilenmTest.cpp LIBS drawings_paths)
