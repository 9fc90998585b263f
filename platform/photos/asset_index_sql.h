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

// A stamp into six parameters from `first` on (size, time, inode, change time, fingerprint, when it
// was taken); NULL for none.
inline void bindAssetIndexStamp(sqlite3_stmt* statement, int first, const std::optional<FileStamp>& stamp) {
    for (int i = 0; i < 6; ++i) sqlite3_bind_null(statement, first + i);
    if (!stamp) return;
    sqlite3_bind_int64(statement, first, stamp->size);
    sqlite3_bind_int64(statement, first + 1, stamp->modified);
    if (stamp->taken) sqlite3_bind_int64(statement, first + 5, stamp->taken);
    // SQLite's integers are signed: the inode number and the fingerprint are kept as their bits.
    if (stamp->content) sqlite3_bind_int64(statement, first + 4, static_cast<std::int64_t>(*stamp->content));
    if (!stamp->inode) return;
    sqlite3_bind_int64(statement, first + 2, static_cast<std::int64_t>(stamp->inode->number));
    sqlite3_bind_int64(statement, first + 3, stamp->inode->changed);
}

// The stamp in six columns from `first` on; none without size and time, an older one without the
// inode's two, the fingerprint or when it was taken.
inline std::optional<FileStamp> assetIndexStamp(sqlite3_stmt* statement, int first) {
    auto given = [&](int column) { return sqlite3_column_type(statement, first + column) == SQLITE_INTEGER; };
    if (!given(0) || !given(1)) return std::nullopt;
    FileStamp stamp{sqlite3_column_int64(statement, first), sqlite3_column_int64(statement, first + 1), {}, {}};
    if (given(2) && given(3))
        stamp.inode = FileStamp::Inode{static_cast<std::uint64_t>(sqlite3_column_int64(statement, first + 2)),
                                       sqlite3_column_int64(statement, first + 3)};
    if (given(4)) stamp.content = static_cast<std::uint64_t>(sqlite3_column_int64(statement, first + 4));
    if (given(5)) stamp.taken = sqlite3_column_int64(statement, first + 5);
    return stamp;
}
