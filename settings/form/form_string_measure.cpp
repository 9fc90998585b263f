// String measuring, the kit's bundle and its texts.
#include "settings/form/form_string_measure.h"

#include <mutex>

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
}  // namespace

CGSize form_sizeWithFont(std::string_view text, const std::shared_ptr<UIFont>& font) {
    return sizeWithAttributes(text, fontOnly(font));
}

CGSize form_sizeWithFont(std::string_view text, const std::shared_ptr<UIFont>& font, CGSize size) {
    return boundingRectWithSize(text, size, NSStringDrawingUsesLineFragmentOrigin, fontOnly(font)).size;
}

std::shared_ptr<NSBundle> FormTableViewManagerBundle() {
    static std::once_flag once;
    static std::shared_ptr<NSBundle> bundle;
    std::call_once(once, [] {
        auto main = NSBundle::mainBundle();
        auto path = main ? main->pathForResource("FormTableViewManager", "bundle") : std::nullopt;
        if (path) bundle = NSBundle::bundleWithPath(*path);
    });
    return bundle;
}

std::string form_localized(std::string_view key) { return Global::shared()->lang()->get(key); }
