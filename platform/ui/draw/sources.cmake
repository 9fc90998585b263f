# Drawing: colours, paths, Cairo contexts, gradients, bitmap and image contexts, images.
# Included by platform/ui/CMakeLists.txt; sets KORVA_UI_DRAW_SOURCES and KORVA_UI_DRAW_DEPS.
find_package(PkgConfig REQUIRED)
pkg_check_modules(KORVA_UI_CAIRO REQUIRED IMPORTED_TARGET cairo)

set(KORVA_UI_DRAW_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/trait_collection.cpp
  ${CMAKE_CURRENT_LIST_DIR}/color.cpp
  ${CMAKE_CURRENT_LIST_DIR}/path.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bezier_path.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cairo_support.cpp
  ${CMAKE_CURRENT_LIST_DIR}/context.cpp
  ${CMAKE_CURRENT_LIST_DIR}/context_shadow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/drawn_area.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gradient.cpp
  ${CMAKE_CURRENT_LIST_DIR}/graphics.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bitmap_context.cpp
  ${CMAKE_CURRENT_LIST_DIR}/image.cpp)

set(KORVA_UI_DRAW_DEPS PkgConfig::KORVA_UI_CAIRO korva_platform_image korva_platform_storage)
