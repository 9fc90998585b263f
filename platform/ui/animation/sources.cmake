# Animation: layer animations, timing curves, transactions, the engine on the run loop's clock and
# view block animations. Included by platform/ui/CMakeLists.txt; sets KORVA_UI_ANIMATION_SOURCES.
set(KORVA_UI_ANIMATION_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ca_value.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ca_media_timing_function.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ca_animation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ca_animation_engine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ca_transaction.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ca_layer_actions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_view_animation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_view_transition.cpp)
