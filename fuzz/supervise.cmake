# The progress file's drawing number on arbitrary text.
kest_fuzz(NAME fuzz_progress_number
          SOURCES ${CMAKE_CURRENT_LIST_DIR}/supervise/ProgressNumberFuzz.cpp ${KEST_ROOT}/supervise/ProgressNumber.cpp
          INCLUDES ${KEST_ROOT}/supervise)
