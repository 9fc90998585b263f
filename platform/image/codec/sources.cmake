# The encoded-image layer: included by platform/image/CMakeLists.txt into korva_platform_image.
# Sets KORVA_IMAGE_CODEC_SOURCES (absolute paths) and KORVA_IMAGE_CODEC_DEPS (imported targets).
find_package(PkgConfig REQUIRED)
pkg_check_modules(KORVA_JPEG REQUIRED IMPORTED_TARGET libjpeg)
pkg_check_modules(KORVA_PNG REQUIRED IMPORTED_TARGET libpng)
pkg_check_modules(KORVA_EXIV2 REQUIRED IMPORTED_TARGET exiv2)
pkg_check_modules(KORVA_LCMS2 REQUIRED IMPORTED_TARGET lcms2)

set(KORVA_IMAGE_CODEC_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/raster.cpp
  ${CMAKE_CURRENT_LIST_DIR}/jpeg_decode.cpp
  ${CMAKE_CURRENT_LIST_DIR}/jpeg_encode.cpp
  ${CMAKE_CURRENT_LIST_DIR}/jpeg_strip_encoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/jpeg_support.cpp
  ${CMAKE_CURRENT_LIST_DIR}/exif_orientation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/png_codec.cpp
  ${CMAKE_CURRENT_LIST_DIR}/image_data.cpp
  ${CMAKE_CURRENT_LIST_DIR}/image_properties.cpp
  ${CMAKE_CURRENT_LIST_DIR}/property_table.cpp
  ${CMAKE_CURRENT_LIST_DIR}/icc.cpp)

set(KORVA_IMAGE_CODEC_DEPS
  PkgConfig::KORVA_JPEG PkgConfig::KORVA_PNG PkgConfig::KORVA_EXIV2 PkgConfig::KORVA_LCMS2)
