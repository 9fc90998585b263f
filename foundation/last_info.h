// LastInfo: a key-value store kept as a keyed archive whose root is the dictionary.
#pragma once

#include "foundation/last_base.h"

class LastInfo : public LastBase {
public:
    KORVA_MAKE(LastInfo)

    std::optional<Value> decode(const Bytes& data) override;
    bool saveToFile(const Value& dictionary, const std::string& path) override;

    std::string className() const override { return "LastInfo"; }

protected:
    explicit LastInfo(std::string path = {}) : LastBase(std::move(path)) {}
};
