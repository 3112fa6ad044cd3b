include(${PROJECT_SOURCE_DIR}/tests/engine/testing/engine_testing.cmake)

vantrel_add_test(batch_core_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/decode_file_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/decoding_key_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/drive_check_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/folder_walk_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/paths_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/viewed_output_test.cpp
  LIBS vantrel_batch_core vantrel_platform_core_testing vantrel_engine_testing)
