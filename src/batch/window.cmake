# The window's side of the batch layer: the file list in the file table, and
# the decoding run that walks its rows, handing out pending events as it goes.
add_library(vantrel_batch STATIC
  ${CMAKE_CURRENT_LIST_DIR}/file_table.h
  ${CMAKE_CURRENT_LIST_DIR}/file_table.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_list.h
  ${CMAKE_CURRENT_LIST_DIR}/file_list.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_services.h
  ${CMAKE_CURRENT_LIST_DIR}/file_services.cpp
  ${CMAKE_CURRENT_LIST_DIR}/event_pump.h
  ${CMAKE_CURRENT_LIST_DIR}/event_pump.cpp
  ${CMAKE_CURRENT_LIST_DIR}/run_outputs.h
  ${CMAKE_CURRENT_LIST_DIR}/decoding_run.h
  ${CMAKE_CURRENT_LIST_DIR}/decoding_run.cpp)
target_include_directories(vantrel_batch PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(vantrel_batch PUBLIC vantrel_batch_core vantrel_grid vantrel_platform_desktop Qt6::Core)
