# The Search page's folder list reader on arbitrary bytes.
kest_fuzz(NAME fuzz_folder_list
          SOURCES ${CMAKE_CURRENT_LIST_DIR}/pages/FolderListFuzz.cpp ${KEST_ROOT}/wizard/FolderListFormat.cpp
          INCLUDES ${KEST_ROOT}/wizard
          SEEDS ${CMAKE_CURRENT_LIST_DIR}/pages/seeds)
