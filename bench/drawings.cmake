# Thumbnail decoding against memcpy and ImageMagick (native only; run by hand, never by ctest).
if(KEST_NATIVE)
    add_executable(bench_drawings ${CMAKE_CURRENT_LIST_DIR}/drawings/PreviewBench.cpp)
    target_link_libraries(bench_drawings PRIVATE drawings_paths drawgen)
endif()
