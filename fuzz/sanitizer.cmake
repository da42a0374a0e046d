# Lustrane's NormalizeInstallPath under libFuzzer; the core is
# compiled into the target so that it carries the fuzzer's instrumentation.
kest_fuzz(NAME fuzz_sanitizer_normalize
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/sanitizer/NormalizeFuzz.cpp ${KEST_ROOT}/sanitizer/LustraneCore.cpp
    INCLUDES ${KEST_ROOT}/sanitizer
    SEEDS ${CMAKE_CURRENT_LIST_DIR}/sanitizer/seeds)
