# Controls and the scroll view. Included by platform/ui/CMakeLists.txt; sets KORVA_UI_CONTROL_SOURCES.
set(KORVA_UI_CONTROL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ui_control.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_label.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_label_coding.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_image_view.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_button.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_slider.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_switch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_stepper.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_segmented_control.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_progress_view.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_activity_indicator_view.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_page_control.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_scroll_view.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_scroll_view_zoom.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_refresh_control.cpp)
