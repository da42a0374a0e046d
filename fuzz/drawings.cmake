# Drawing version check and thumbnail reader under libFuzzer. The decoder sources are compiled into each
# target so that they carry the fuzzer's instrumentation; seeds come from the drawing generator.
if(KEST_NATIVE AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    set(drawings_src ${KEST_ROOT}/drawings)
    # One seed generator per corpus: run-fuzz.sh passes it only the corpus folder.
    foreach(kind versions drawing bmp)
        add_executable(drawings_fuzz_seeds_${kind} ${CMAKE_CURRENT_LIST_DIR}/drawings/SeedGenerator.cpp)
        target_link_libraries(drawings_fuzz_seeds_${kind} PRIVATE drawgen)
        target_compile_definitions(drawings_fuzz_seeds_${kind} PRIVATE SEED_KIND="${kind}")
    endforeach()

    kest_fuzz(NAME fuzz_drawings_version
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/drawings/VersionFuzz.cpp ${drawings_src}/VersionTable.cpp
        INCLUDES ${drawings_src}
        SEED_GENERATOR drawings_fuzz_seeds_versions)

    set(drawings_preview_sources
        ${CMAKE_CURRENT_LIST_DIR}/drawings/PreviewFuzz.cpp ${drawings_src}/PreviewCore.cpp ${drawings_src}/PreviewDib.cpp
        ${drawings_src}/PreviewReader.cpp ${drawings_src}/PreviewMemorySource.cpp
        ${drawings_src}/PreviewFileSource.cpp ${drawings_src}/VersionTable.cpp)
    # Whole drawing files, and plain BMP files: one reader, two corpora that lead the fuzzer to either path.
    kest_fuzz(NAME fuzz_drawings_preview
        SOURCES ${drawings_preview_sources}
        INCLUDES ${drawings_src}
        SEEDS ${CMAKE_CURRENT_LIST_DIR}/drawings/seeds/drawing
        SEED_GENERATOR drawings_fuzz_seeds_drawing)
    kest_fuzz(NAME fuzz_drawings_bmp
        SOURCES ${drawings_preview_sources}
        INCLUDES ${drawings_src}
        SEEDS ${CMAKE_CURRENT_LIST_DIR}/drawings/seeds/bmp
        SEED_GENERATOR drawings_fuzz_seeds_bmp)
endif()
