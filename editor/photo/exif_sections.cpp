// Building the metadata pop-up's sections from an image properties dictionary.
#include "editor/photo/exif_sections.h"

#include <algorithm>
#include <cctype>

#include "foundation/text_measure.h"

namespace {

constexpr const char* kGeneral = "General";

std::string folded(const std::string& s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// Keys in case-insensitive order; keys equal but for case keep a fixed order among themselves.
std::vector<std::string> sortedKeys(const ValueDictionary& d) {
    auto keys = d.keys();
    std::sort(keys.begin(), keys.end(), [](const std::string& a, const std::string& b) {
        auto fa = folded(a), fb = folded(b);
        return fa != fb ? fa < fb : a < b;
    });
    return keys;
}

}  // namespace

bool isInvalid(const std::string& key) {
    return !key.empty() && key[0] >= '0' && key[0] <= '9';
}

std::string exifValueText(const Value& value) {
    std::string text = singleLined(value.description());
    if (text.size() <= kExifMaxValueText) return text;
    std::size_t cut = kExifMaxValueText;
    // Step back over UTF-8 continuation bytes so that no character is split.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return text.substr(0, cut) + "…";
}

ExifSections buildExifSections(const Value& properties) {
    ExifSections out;
    out.secLabels = {kGeneral};
    out.arr = {{}};
    const ValueDictionary* top = properties.isDictionary() ? properties.dictionaryPtr() : nullptr;
    if (!top) return out;
    for (const auto& key : sortedKeys(*top)) {
        const Value& value = *top->find(key);
        if (value.isDictionary()) {
            out.secLabels.push_back(key);
            auto& rows = out.arr.emplace_back();
            const ValueDictionary& sub = *value.dictionaryPtr();
            for (const auto& subKey : sortedKeys(sub))
                if (!isInvalid(subKey)) rows.emplace_back(subKey, exifValueText(*sub.find(subKey)));
        } else if (!isInvalid(key)) {
            out.arr[0].emplace_back(key, exifValueText(value));
        }
    }
    return out;
}
