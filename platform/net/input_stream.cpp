// Input streams over bytes in memory and over files.
#include "platform/net/input_stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

NSInputStream::NSInputStream(Bytes data, std::string path, bool fromFile)
    : data_(std::move(data)), path_(std::move(path)), fromFile_(fromFile) {}

NSInputStream::~NSInputStream() {
    if (file_) std::fclose(file_);
}

std::shared_ptr<NSInputStream> NSInputStream::inputStreamWithData(Bytes data) {
    return NSInputStream::make(std::move(data), std::string(), false);
}

std::shared_ptr<NSInputStream> NSInputStream::inputStreamWithFileAtPath(std::string path) {
    return NSInputStream::make(Bytes(), std::move(path), true);
}

void NSInputStream::fail(std::shared_ptr<NSError> error) {
    error_ = std::move(error);
    status_ = NSStreamStatus::Error;
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

void NSInputStream::open() {
    if (status_ != NSStreamStatus::NotOpen) return;
    status_ = NSStreamStatus::Open;
    if (!fromFile_) return;
    file_ = std::fopen(path_.c_str(), "rb");
    if (!file_) {
        int code = errno;
        fail(NSError::withDescription(NSPOSIXErrorDomain, code, path_ + ": " + std::strerror(code)));
    }
}

void NSInputStream::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    status_ = NSStreamStatus::Closed;
}

std::int64_t NSInputStream::read(std::uint8_t* buffer, std::size_t maxLength) {
    if (status_ == NSStreamStatus::AtEnd) return 0;
    if (status_ != NSStreamStatus::Open) return -1;
    std::size_t n = 0;
    if (fromFile_) {
        n = std::fread(buffer, 1, maxLength, file_);
        if (n == 0 && std::ferror(file_)) {
            int code = errno;
            fail(NSError::withDescription(NSPOSIXErrorDomain, code, path_ + ": " + std::strerror(code)));
            return -1;
        }
    } else {
        n = std::min(maxLength, data_.size() - offset_);
        if (n > 0) std::memcpy(buffer, data_.data() + offset_, n);
        offset_ += n;
    }
    if (n == 0 && maxLength > 0) status_ = NSStreamStatus::AtEnd;
    return static_cast<std::int64_t>(n);
}
