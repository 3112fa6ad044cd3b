# Tests of the Qt-free platform side, and the doubles other layers' tests use.
add_library(vantrel_platform_core_testing STATIC
  ${CMAKE_CURRENT_LIST_DIR}/testing/fault_injecting_file_system.cpp
  ${CMAKE_CURRENT_LIST_DIR}/testing/passthrough_mount.cpp)
target_include_directories(vantrel_platform_core_testing PUBLIC ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(vantrel_platform_core_testing PUBLIC vantrel_platform_core)
target_compile_definitions(vantrel_platform_core_testing PRIVATE
  VANTREL_PASSTHROUGH_FS="${CMAKE_CURRENT_LIST_DIR}/testing/passthrough_fs.py")

vantrel_add_test(platform_core_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/drive_kinds_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_system_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/mount_table_test.cpp
  LIBS vantrel_platform_core_testing)
