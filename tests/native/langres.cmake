# The translated language modules against the English one, read from the sources.
kest_native_test(NAME native_langres SOURCES ${CMAKE_CURRENT_LIST_DIR}/langres/LanguageModulesTest.cpp)
target_compile_definitions(native_langres PRIVATE KEST_SOURCE_ROOT="${KEST_ROOT}")
