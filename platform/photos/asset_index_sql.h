// What the index's two source files share: the row as read for a repair and small SQLite helpers.
// Internal to the photos module.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/photos/library_file_facts.h"

// What an index row says of its file.
struct AssetIndexRow {
    std::string identifier, file;
    std::int64_t kind = 0;
    int pixelWidth = 0, pixelHeight = 0;
    double duration = 0;
    double modificationDate = 0;
    std::optional<FileStamp> stamp;
};

struct AssetIndexStatement {
    sqlite3_stmt* s = nullptr;
    ~AssetIndexStatement() { sqlite3_finalize(s); }
};

// A text column, none when it holds NULL.
inline std::optional<std::string> assetIndexText(sqlite3_stmt* statement, int column) {
    const unsigned char* text = sqlite3_column_text(statement, column);
    if (!text) return std::nullopt;
    return std::string(reinterpret_cast<const char*>(text));
}

// A stamp into two parameters from `first` on; NULL for none.
inline void bindAssetIndexStamp(sqlite3_stmt* statement, int first, const std::optional<FileStamp>& stamp) {
    if (stamp) {
        sqlite3_bind_int64(statement, first, stamp->size);
        sqlite3_bind_int64(statement, first + 1, stamp->modified);
    } else {
        sqlite3_bind_null(statement, first);
        sqlite3_bind_null(statement, first + 1);
    }
}
