add_library(vantrel_batch_core STATIC
  ${CMAKE_CURRENT_LIST_DIR}/code_page_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/decode_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/decoding_key.cpp
  ${CMAKE_CURRENT_LIST_DIR}/drive_check.cpp
  ${CMAKE_CURRENT_LIST_DIR}/folder_walk.cpp
  ${CMAKE_CURRENT_LIST_DIR}/key_code_page.cpp
  ${CMAKE_CURRENT_LIST_DIR}/output_files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/paths.cpp
  ${CMAKE_CURRENT_LIST_DIR}/recorded_output.cpp)
target_include_directories(vantrel_batch_core PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(vantrel_batch_core PUBLIC vantrel_platform_core vantrel_engine)
