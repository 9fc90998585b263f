# Touches and gesture recognisers: touch delivery through hit testing, tap, long press, pan,
# screen-edge pan, pinch, rotation and swipe. Included by platform/ui/CMakeLists.txt; sets KORVA_UI_GESTURE_SOURCES.
set(KORVA_UI_GESTURE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ui_touch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_gesture_recognizer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_tap_gesture_recognizer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_long_press_gesture_recognizer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_pan_gesture_recognizer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_pinch_gesture_recognizer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_rotation_gesture_recognizer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_swipe_gesture_recognizer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_touch_dispatcher.cpp)
