# Reports of other workstations, joined into the list's summary.
kest_fuzz(NAME fuzz_report_csv
          SOURCES ${CMAKE_CURRENT_LIST_DIR}/unattended/ReportCsvFuzz.cpp ${KEST_ROOT}/app/ReportCsv.cpp
                  ${KEST_ROOT}/drawings/PathPlatform.cpp
          INCLUDES ${KEST_ROOT}/app ${KEST_ROOT}/drawings
          SEEDS ${CMAKE_CURRENT_LIST_DIR}/unattended/seeds)
