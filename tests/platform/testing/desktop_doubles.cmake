# vantrel_platform_doubles: scripted dialogs and recording boxes and shell
# for the window's tests and benchmarks. Included by both (the benchmarks
# may be built without the tests), so it defines the library only once.
if(NOT TARGET vantrel_platform_doubles)
  add_library(vantrel_platform_doubles STATIC
    ${CMAKE_CURRENT_LIST_DIR}/desktop_doubles.h
    ${CMAKE_CURRENT_LIST_DIR}/desktop_doubles.cpp)
  # Included as "platform/testing/desktop_doubles.h".
  target_include_directories(vantrel_platform_doubles PUBLIC ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(vantrel_platform_doubles PUBLIC vantrel_platform_desktop)
endif()
