// The names of the program's temporary files.
#include "platform/storage/temporary_name.h"

#include <cctype>
#include <random>

namespace {

constexpr std::string_view kOwnMark = ".korva-";
constexpr std::size_t kOwnRandom = 8;
constexpr std::size_t kEarlierRandom = 6;
constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

bool lettersOrDigits(std::string_view text) {
    for (char c : text)
        if (!std::isalnum(static_cast<unsigned char>(c))) return false;
    return true;
}

// The name between the leading dot and `mark` + `random` letters or digits at the end of `entry`.
std::optional<std::string> targetBefore(std::string_view entry, std::string_view mark, std::size_t random) {
    const std::size_t tail = mark.size() + random;
    if (entry.size() < tail + 2 || entry.front() != '.') return std::nullopt;
    const std::string_view end = entry.substr(entry.size() - tail);
    if (!end.starts_with(mark) || !lettersOrDigits(end.substr(mark.size()))) return std::nullopt;
    return std::string(entry.substr(1, entry.size() - tail - 1));
}

}  // namespace

std::string newTemporaryName(std::string_view name) {
    thread_local std::mt19937_64 random{std::random_device{}()};
    std::string temporary = "." + std::string(name) + std::string(kOwnMark);
    for (std::size_t i = 0; i < kOwnRandom; ++i) temporary += kLetters[random() % (sizeof kLetters - 1)];
    return temporary;
}

std::optional<std::string> ownTemporaryTarget(std::string_view entry) {
    return targetBefore(entry, kOwnMark, kOwnRandom);
}

std::optional<std::string> earlierTemporaryTarget(std::string_view entry) {
    return targetBefore(entry, ".", kEarlierRandom);
}
