// The tags another reader finds in a file: exiftool's JSON answer (numbers as numbers), for tests
// that check what other programs see in the photos Korva writes.
#pragma once

#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>

namespace testsupport {

// The file's tags, only those named in `tags` ("-ExposureTime -ISO") when given, or an empty
// object when exiftool cannot read it.
inline nlohmann::json exiftoolTags(const std::string& path, const std::string& tags = "") {
    const std::string command = "exiftool -j -n " + tags + " '" + path + "'";
    std::string text;
    if (FILE* out = popen(command.c_str(), "r")) {
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, out)) > 0;) text.append(buf, n);
        pclose(out);
    }
    auto parsed = nlohmann::json::parse(text, nullptr, false);
    return parsed.is_array() && !parsed.empty() ? parsed[0] : nlohmann::json::object();
}

}  // namespace testsupport
