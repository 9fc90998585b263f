# Text: fonts from the bundled font folder, attributed strings, Pango layout, measuring and drawing.
# Included by platform/ui/CMakeLists.txt; sets KORVA_UI_TEXT_SOURCES and KORVA_UI_TEXT_DEPS.
find_package(PkgConfig REQUIRED)
pkg_check_modules(KORVA_UI_PANGO REQUIRED IMPORTED_TARGET pangocairo pangoft2 fontconfig)

set(KORVA_UI_TEXT_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/font_faces.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_engine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_font.cpp
  ${CMAKE_CURRENT_LIST_DIR}/paragraph_style.cpp
  ${CMAKE_CURRENT_LIST_DIR}/attributed_string.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_layout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_layout_lines.cpp
  ${CMAKE_CURRENT_LIST_DIR}/string_drawing.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ns_coder_text.cpp)

set(KORVA_UI_TEXT_DEPS PkgConfig::KORVA_UI_PANGO korva_platform_storage)
