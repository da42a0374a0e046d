# The profile journal and the run record on arbitrary registry bytes.
kest_fuzz(NAME fuzz_journal_codec
          SOURCES ${CMAKE_CURRENT_LIST_DIR}/profile/JournalCodecFuzz.cpp ${KEST_ROOT}/host/KestJournalCodec.cpp
                  ${KEST_ROOT}/app/KestRunRecord.cpp
          INCLUDES ${KEST_ROOT}/host ${KEST_ROOT}/app
          SEEDS ${CMAKE_CURRENT_LIST_DIR}/profile/seeds)
