// Encoded images of any supported format: detection, header reading and decoding.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/image/codec/raster.h"
#include "platform/runtime/result.h"

// Recognises JPEG and PNG by their signatures.
ImageFormat detectImageFormat(std::span<const std::uint8_t> data);

Result<ImageInfo> readImageInfo(std::span<const std::uint8_t> data);
Result<DecodedImage> decodeImage(std::span<const std::uint8_t> data, const ImageDecodeOptions& options = {});

// Whether a read follows a symbolic link at the path's last component.
enum class FileLinks { Follow, Refuse };

// Reads a whole regular file (refusing files above maxBytes, and pipes, devices and folders without
// waiting on them) and decodes it.
Result<Bytes> readFileBytes(const std::string& path, std::uint64_t maxBytes = 512ull << 20,
                            FileLinks links = FileLinks::Follow);
Result<DecodedImage> decodeImageFile(const std::string& path, const ImageDecodeOptions& options = {});
