# The desktop side of the platform layer: dialogs, message boxes, the shell
# (its file manager is reached over D-Bus).
add_library(vantrel_platform_desktop STATIC
  ${CMAKE_CURRENT_LIST_DIR}/desktop_services.h
  ${CMAKE_CURRENT_LIST_DIR}/app_font.h
  ${CMAKE_CURRENT_LIST_DIR}/closing_signals.h
  ${CMAKE_CURRENT_LIST_DIR}/closing_signals.cpp
  ${CMAKE_CURRENT_LIST_DIR}/exception_box.h
  ${CMAKE_CURRENT_LIST_DIR}/exception_box.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt_desktop_services.h
  ${CMAKE_CURRENT_LIST_DIR}/qt_desktop_services.cpp
  ${CMAKE_CURRENT_LIST_DIR}/transient_settings.h
  ${CMAKE_CURRENT_LIST_DIR}/transient_settings.cpp)
target_include_directories(vantrel_platform_desktop PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(vantrel_platform_desktop PUBLIC Qt6::Widgets Qt6::DBus)
