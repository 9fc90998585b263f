// Social composer stand-in.
#include "platform/ui/controller/sl_compose_view_controller.h"

#include "platform/ui/controller/stand_in_panel_view.h"

namespace {
std::set<std::string>& availableServices() {
    static std::set<std::string> s;
    return s;
}
std::vector<SocialPost>& postList() {
    static std::vector<SocialPost> p;
    return p;
}
}  // namespace

bool SLComposeViewController::isAvailableForServiceType(const std::string& t) {
    return availableServices().count(t) != 0;
}
void SLComposeViewController::setAvailableServiceTypes(std::set<std::string> types) {
    availableServices() = std::move(types);
}
const std::vector<SocialPost>& SLComposeViewController::posts() {
    return postList();
}
void SLComposeViewController::clearPosts() {
    postList().clear();
}

std::shared_ptr<SLComposeViewController> SLComposeViewController::composeViewControllerForServiceType(
    const std::string& type) {
    if (!isAvailableForServiceType(type)) return nullptr;
    return make(type);
}

bool SLComposeViewController::setInitialText(std::string text) {
    if (appearanceState() != UIAppearanceState::Disappeared || finished_) return false;
    post_.text = std::move(text);
    return true;
}

bool SLComposeViewController::addImage(const std::shared_ptr<UIImage>& image) {
    if (!image || appearanceState() != UIAppearanceState::Disappeared || finished_) return false;
    images_.push_back(image);
    post_.imageCount = images_.size();
    return true;
}

bool SLComposeViewController::addURL(std::string url) {
    if (url.empty() || appearanceState() != UIAppearanceState::Disappeared || finished_) return false;
    post_.urls.push_back(std::move(url));
    return true;
}

bool SLComposeViewController::finish(SLComposeViewControllerResult result) {
    if (finished_) return false;
    finished_ = true;
    auto keep = self<SLComposeViewController>();
    auto report = [keep, result] {
        if (keep->completion_) keep->completion_(result);
    };
    if (!dismissViewControllerAnimated(true, report)) report();
    return true;
}

bool SLComposeViewController::postNow() {
    if (finished_) return false;
    // The service may have been signed out while the composer was open.
    if (!isAvailableForServiceType(post_.serviceType)) return finish(SLComposeViewControllerResult::Cancelled);
    postList().push_back(post_);
    return finish(SLComposeViewControllerResult::Done);
}

bool SLComposeViewController::cancel() {
    return finish(SLComposeViewControllerResult::Cancelled);
}

void SLComposeViewController::loadView() {
    auto panel = StandInPanelView::make(UIScreen::mainScreen()->bounds());
    panel->setTitle("Post");
    panel->setLines({post_.text.substr(0, 200), std::to_string(images_.size()) + " image(s)"});
    panel->setButtons({"Cancel", "Post"});
    std::weak_ptr<SLComposeViewController> weak = self<SLComposeViewController>();
    panel->setOnButton([weak](std::size_t i) {
        if (auto me = weak.lock()) i == 0 ? (void)me->cancel() : (void)me->postNow();
    });
    setView(panel);
}
