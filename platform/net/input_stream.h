// NSInputStream: bytes read in pieces from memory or from a file.
//
// States: NotOpen --open--> Open --(end)--> AtEnd; a failure to open or read gives Error; close
// from any state gives Closed. Reads are only answered while Open. One thread at a time.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/runtime/error.h"
#include "platform/runtime/value.h"

enum class NSStreamStatus { NotOpen, Opening, Open, Reading, Writing, AtEnd, Closed, Error };

class NSInputStream : public NSObject {
public:
    KORVA_MAKE(NSInputStream)
    static std::shared_ptr<NSInputStream> inputStreamWithData(Bytes data);
    static std::shared_ptr<NSInputStream> inputStreamWithFileAtPath(std::string path);

    void open();
    void close();
    // Up to maxLength bytes into the buffer: the count read, 0 at the end, -1 on an error or when
    // the stream is not open.
    std::int64_t read(std::uint8_t* buffer, std::size_t maxLength);
    bool hasBytesAvailable() const { return status_ == NSStreamStatus::Open; }
    NSStreamStatus streamStatus() const { return status_; }
    std::shared_ptr<NSError> streamError() const { return error_; }

    ~NSInputStream() override;
    std::string className() const override { return "NSInputStream"; }

protected:
    NSInputStream(Bytes data, std::string path, bool fromFile);

private:
    void fail(std::shared_ptr<NSError> error);

    Bytes data_;
    std::size_t offset_ = 0;
    std::string path_;
    bool fromFile_;
    std::FILE* file_ = nullptr;
    NSStreamStatus status_ = NSStreamStatus::NotOpen;
    std::shared_ptr<NSError> error_;
};
