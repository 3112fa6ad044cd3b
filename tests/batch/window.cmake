# The window's file list and run, driven through the real main window with
# the desktop doubles, real files and injected faults.
vantrel_add_test(batch_window_test WIDGETS
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/window_fixture.h
    ${CMAKE_CURRENT_LIST_DIR}/file_list_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/decoding_run_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_viewer_test.cpp
  LIBS vantrel_ui vantrel_batch vantrel_platform_doubles vantrel_platform_core_testing vantrel_engine_testing)
vantrel_use_test_locales(batch_window_test)
