# Drawing version labels, file status, the MakeDrawing tool and the preview control, under Wine.
set(drawings_src ${KEST_ROOT}/drawings)
add_executable(drawings_test
    ${CMAKE_CURRENT_LIST_DIR}/drawings/DrawingFilesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/drawings/PreviewControlTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/drawings/DrawingsTest.rc
    ${drawings_src}/CPreview.cpp ${drawings_src}/VersionTableText.cpp ${drawings_src}/VersionTable.cpp
    ${drawings_src}/DrawingFileStatus.cpp ${drawings_src}/PreviewCore.cpp ${drawings_src}/PreviewDib.cpp
    ${drawings_src}/PreviewReader.cpp ${drawings_src}/PreviewMemorySource.cpp ${drawings_src}/PreviewFileSource.cpp
    ${drawings_src}/PreviewLayout.cpp ${drawings_src}/KestFilenm.cpp ${drawings_src}/PathPlatform.cpp)
set_target_properties(drawings_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KEST_TEST_BIN})
target_include_directories(drawings_test PRIVATE ${CMAKE_CURRENT_LIST_DIR}/drawings ${drawings_src} ${KEST_ROOT})
target_compile_definitions(drawings_test PRIVATE KEST_DRAWINGS_TEST_DIR="${CMAKE_CURRENT_LIST_DIR}/drawings")
target_link_libraries(drawings_test PRIVATE framework drawgen wine_test_support gtest_main gdi32 comctl32)
add_dependencies(drawings_test MakeDrawing)
kest_wine_test(NAME wine_drawings TARGET drawings_test GUI)
