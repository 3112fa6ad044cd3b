include(${PROJECT_SOURCE_DIR}/tests/platform/testing/desktop_doubles.cmake)
vantrel_add_test(vantrel_platform_desktop_tests WIDGETS
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/exception_box_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/message_boxes_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/shell_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/qt_shell_test.cpp
  LIBS vantrel_platform_desktop)
