// Share sheet stand-in.
#include "platform/ui/controller/ui_activity_view_controller.h"

#include <algorithm>

#include "platform/ui/controller/stand_in_panel_view.h"

namespace {
std::vector<std::string>& available() {
    static std::vector<std::string> types{UIActivityTypeCopyToPasteboard, UIActivityTypeSaveToCameraRoll,
                                          UIActivityTypeMail, UIActivityTypeMessage};
    return types;
}
std::vector<UIActivityViewController::Share>& performed() {
    static std::vector<UIActivityViewController::Share> shares;
    return shares;
}
}  // namespace

std::vector<std::string> UIActivityViewController::availableActivityTypes() { return available(); }
void UIActivityViewController::setAvailableActivityTypes(std::vector<std::string> types) { available() = std::move(types); }
const std::vector<UIActivityViewController::Share>& UIActivityViewController::performedShares() { return performed(); }
void UIActivityViewController::clearPerformedShares() { performed().clear(); }

std::vector<std::string> UIActivityViewController::activityTypes() const {
    std::vector<std::string> out;
    for (const auto& t : available())
        if (std::find(excluded_.begin(), excluded_.end(), t) == excluded_.end()) out.push_back(t);
    return out;
}

void UIActivityViewController::finish(const std::string& type, bool completed) {
    done_ = true;
    auto keep = self<UIActivityViewController>();
    auto report = [keep, type, completed] {
        if (keep->completion_) keep->completion_(type, completed, ValueArray{}, "");
    };
    if (!dismissViewControllerAnimated(true, report)) report();
}

bool UIActivityViewController::chooseActivity(const std::string& type) {
    auto types = activityTypes();
    if (done_ || std::find(types.begin(), types.end(), type) == types.end()) return false;
    const Value* subject = values_.find("subject");
    performed().push_back({type, items_, subject ? *subject : Value()});
    finish(type, true);
    return true;
}

bool UIActivityViewController::cancel() {
    if (done_) return false;
    finish("", false);
    return true;
}

void UIActivityViewController::loadView() {
    auto panel = StandInPanelView::make(UIScreen::mainScreen()->bounds());
    panel->setTitle("Share");
    std::vector<std::string> lines;
    for (const auto& t : activityTypes()) lines.push_back(t.substr(t.rfind('.') + 1));
    panel->setLines(lines);
    panel->setButtons({"Cancel"});
    std::weak_ptr<UIActivityViewController> weak = self<UIActivityViewController>();
    panel->setOnButton([weak](std::size_t) {
        if (auto me = weak.lock()) me->cancel();
    });
    setView(panel);
}
