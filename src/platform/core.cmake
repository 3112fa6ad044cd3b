# The Qt-free side of the platform layer: files, streams, folder listings
# and drive kinds.
# The command-line tool links it, so nothing here may pull in Qt.
add_library(vantrel_platform_core STATIC
  ${CMAKE_CURRENT_LIST_DIR}/drive_kinds.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_streams.cpp
  ${CMAKE_CURRENT_LIST_DIR}/folder_lister.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mount_table.cpp
  ${CMAKE_CURRENT_LIST_DIR}/posix_file_system.cpp)
target_include_directories(vantrel_platform_core PUBLIC ${PROJECT_SOURCE_DIR}/src)
