# Shared helpers for both configurations.
set(KEST_ROOT ${CMAKE_CURRENT_LIST_DIR}/..)
set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources (Debian's googletest package)")

if(KEST_WINDOWS)
    add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
    add_compile_options(-Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers -Wno-cast-function-type)
    add_link_options(-static -static-libgcc -static-libstdc++)
    set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
    set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
    # Prefix template shared by every Wine suite of one ctest run; each suite copies it.
    set(KEST_WINE_TEMPLATE ${CMAKE_BINARY_DIR}/wine-template)
else()
    add_compile_options(-Wall -Wextra -fno-omit-frame-pointer)
    if(NOT KEST_NO_SANITIZE)
        add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined)
        add_link_options(-fsanitize=address,undefined)
    endif()
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# A GUI or console program of ours: wide entry points, static runtime.
function(kest_windows_program target)
    target_link_options(${target} PRIVATE -municode)
endfunction()

# kest_wine_test(NAME name TARGET target [GUI] [TIMEOUT s] [ARGS ...])
# Runs a Windows test program under Wine in a throwaway prefix copied from the
# run's template; GUI suites get an Xvfb display of their own.
function(kest_wine_test)
    cmake_parse_arguments(T "GUI" "NAME;TARGET;TIMEOUT" "ARGS" ${ARGN})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    add_test(NAME ${T_NAME} COMMAND ${T_TARGET} ${T_ARGS})
    set(env "KEST_WINE_TEMPLATE=${KEST_WINE_TEMPLATE}" "KEST_BIN=${CMAKE_BINARY_DIR}/bin")
    if(T_GUI)
        list(APPEND env "KEST_XVFB=1")
    endif()
    set_tests_properties(${T_NAME} PROPERTIES
        ENVIRONMENT "${env}" TIMEOUT ${T_TIMEOUT}
        FIXTURES_REQUIRED wine_template LABELS wine)
endfunction()

# kest_native_test(NAME name SOURCES ... [LIBS ...])
function(kest_native_test)
    cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} gtest gmock gtest_main)
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    set_tests_properties(${T_NAME} PROPERTIES LABELS native TIMEOUT 300)
endfunction()

# kest_fuzz(NAME name SOURCES ... [INCLUDES ...] [SEEDS dir] [SEED_GENERATOR target])
# libFuzzer target (clang only); ctest runs it for KEST_FUZZ_SECONDS on a fresh corpus.
set(KEST_FUZZ_SECONDS 20 CACHE STRING "Seconds each fuzz target runs under ctest")
function(kest_fuzz)
    cmake_parse_arguments(T "" "NAME;SEEDS;SEED_GENERATOR" "SOURCES;INCLUDES" ${ARGN})
    if(NOT KEST_NATIVE OR NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        return()
    endif()
    add_executable(${T_NAME} ${T_SOURCES})
    target_include_directories(${T_NAME} PRIVATE ${T_INCLUDES})
    target_compile_options(${T_NAME} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(${T_NAME} PRIVATE -fsanitize=fuzzer,address,undefined)
    set(gen "")
    if(T_SEED_GENERATOR)
        set(gen $<TARGET_FILE:${T_SEED_GENERATOR}>)
    endif()
    add_test(NAME ${T_NAME}
             COMMAND ${KEST_ROOT}/fuzz/run-fuzz.sh $<TARGET_FILE:${T_NAME}> ${KEST_FUZZ_SECONDS}
                     "${T_SEEDS}" "${gen}")
    set_tests_properties(${T_NAME} PROPERTIES LABELS fuzz TIMEOUT 600)
endfunction()
