// PDF417 symbols, full or truncated (compact), through the system's barcode encoding library.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/image/filters/generator/module_image.h"

struct PDF417Options {
    int columns = 0;  // data columns 1...30; 0: the encoder chooses
    int rows = 0;     // rows 3...90; 0: as many as the data needs
    int level = -1;   // error correction (security) level 0...8; -1: chosen by the message's length
    bool compact = false;
};

struct PDF417Symbol {
    ModuleMatrix modules;  // one line per module, each row repeated rowHeight times
    int columns = 0, rows = 0, rowHeight = 0;
};

// None for an empty message, options out of range, or a message that does not fit the symbol
// the options ask for (the encoder never widens or shrinks a requested shape on its own).
std::optional<PDF417Symbol> encodePDF417(const std::vector<std::uint8_t>& message, const PDF417Options& options);
