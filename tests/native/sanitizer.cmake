# Lustrane's portable logic against fakes of its platform interfaces.
kest_native_test(NAME native_sanitizer
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/sanitizer/LustraneCoreTest.cpp
    LIBS sanitizer_core)
