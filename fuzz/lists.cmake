# The drawing list reader on arbitrary bytes.
set(dml_sources ${KEST_ROOT}/drawings/DmlFormat.cpp ${KEST_ROOT}/drawings/MultiByteScan.cpp
                ${KEST_ROOT}/drawings/MultiByteReader.cpp)
kest_fuzz(NAME fuzz_dml_reader
          SOURCES ${CMAKE_CURRENT_LIST_DIR}/lists/DmlReaderFuzz.cpp ${dml_sources}
          INCLUDES ${KEST_ROOT}/drawings
          SEEDS ${CMAKE_CURRENT_LIST_DIR}/lists/seeds)
