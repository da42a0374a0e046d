# Drawing version check and thumbnail decoding, checked against generated files.
set(drawings_test_dir ${CMAKE_CURRENT_LIST_DIR}/drawings)
kest_native_test(NAME native_drawings
    SOURCES ${drawings_test_dir}/VersionTableTest.cpp ${drawings_test_dir}/PreviewCoreTest.cpp
            ${drawings_test_dir}/PreviewHostileTest.cpp ${drawings_test_dir}/ReferenceDib.cpp
            ${drawings_test_dir}/SheetPictureTest.cpp
    LIBS drawings_paths drawgen)
target_include_directories(native_drawings PRIVATE ${drawings_test_dir})
