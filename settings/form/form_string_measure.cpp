// String measuring, the kit's bundle and its texts.
#include "settings/form/form_string_measure.h"

#include <functional>
#include <mutex>
#include <optional>
#include <unordered_map>

#include "foundation/global.h"
#include "foundation/lang.h"
#include "platform/storage/bundle.h"
#include "platform/ui/text/string_drawing.h"
#include "platform/ui/text/ui_font.h"

namespace {
NSAttributes fontOnly(const std::shared_ptr<UIFont>& font) {
    NSAttributes a;
    if (font) a.set(NSFontAttributeName, Value(font));
    return a;
}

// Rows measure their value on every layout, and a form repeats its values (the same choice on many
// rows), so the sizes last measured are kept, keyed by the text, the face and its size, and the
// size the text was laid out within. Fonts are immutable, so a face stands for its metrics.
constexpr std::size_t kMeasuredLimit = 512;

struct MeasuredKey {
    std::string text, face;
    CGFloat pointSize, width, height;
    bool oneLine;
    bool operator==(const MeasuredKey&) const = default;
};

struct MeasuredKeyHash {
    std::size_t operator()(const MeasuredKey& k) const {
        std::size_t h = std::hash<std::string>{}(k.text);
        for (std::size_t part : {std::hash<std::string>{}(k.face), std::hash<CGFloat>{}(k.pointSize),
                                 std::hash<CGFloat>{}(k.width), std::hash<CGFloat>{}(k.height), std::size_t(k.oneLine)})
            h = h * 1099511628211ULL ^ part;
        return h;
    }
};

MeasuredKey measuredKey(std::string_view text, const std::shared_ptr<UIFont>& font, std::optional<CGSize> size) {
    // Adding zero makes a negative zero a positive one, so that equal keys hash alike.
    MeasuredKey k{std::string(text), {}, 0, size ? size->width + 0.0 : 0, size ? size->height + 0.0 : 0, !size};
    if (font) {
        k.face = font->fontName() + '\n' + font->renderFamily() + (font->isBold() ? "\nb" : "") +
                 (font->isItalic() ? "\ni" : "");
        k.pointSize = font->pointSize();
    }
    return k;
}

template <typename Measure>
CGSize measured(std::string_view text, const std::shared_ptr<UIFont>& font, std::optional<CGSize> size,
                Measure measure) {
    // Per thread, so that no lock is needed; a full cache starts again rather than track its use.
    thread_local std::unordered_map<MeasuredKey, CGSize, MeasuredKeyHash> sizes;
    MeasuredKey key = measuredKey(text, font, size);
    if (auto it = sizes.find(key); it != sizes.end()) return it->second;
    if (sizes.size() >= kMeasuredLimit) sizes.clear();
    CGSize result = measure();
    sizes.emplace(std::move(key), result);
    return result;
}
}  // namespace

CGSize form_sizeWithFont(std::string_view text, const std::shared_ptr<UIFont>& font) {
    return measured(text, font, std::nullopt, [&] { return sizeWithAttributes(text, fontOnly(font)); });
}

CGSize form_sizeWithFont(std::string_view text, const std::shared_ptr<UIFont>& font, CGSize size) {
    return measured(text, font, size, [&] {
        return boundingRectWithSize(text, size, NSStringDrawingUsesLineFragmentOrigin, fontOnly(font)).size;
    });
}

std::shared_ptr<NSBundle> FormTableViewManagerBundle() {
    // The bundle found is kept for the main bundle it was found in; a miss is not remembered, so a
    // main bundle that gains the folder, or is pointed elsewhere, is looked in again.
    static std::mutex mutex;
    static std::string foundIn;
    static std::shared_ptr<NSBundle> found;
    auto main = NSBundle::mainBundle();
    if (!main) return nullptr;
    {
        std::lock_guard lock(mutex);
        if (found && foundIn == main->bundlePath()) return found;
    }
    auto path = main->pathForResource("FormTableViewManager", "bundle");
    auto bundle = path ? NSBundle::bundleWithPath(*path) : nullptr;
    if (bundle) {
        std::lock_guard lock(mutex);
        foundIn = main->bundlePath();
        found = bundle;
    }
    return bundle;
}

std::string form_localized(std::string_view key) {
    return Global::shared()->lang()->get(key);
}
