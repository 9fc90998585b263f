// The share sheet: its choices and what each does.
#include "platform/ui/controller/ui_activity_view_controller.h"

#include <algorithm>

#include "platform/dispatch/queue.h"
#include "platform/net/url.h"
#include "platform/photos/ph_asset_change_request.h"
#include "platform/photos/ph_photo_library.h"
#include "platform/runtime/error.h"
#include "platform/ui/app/ui_pasteboard.h"
#include "platform/ui/controller/mf_mail_compose_view_controller.h"
#include "platform/ui/controller/stand_in_panel_view.h"
#include "platform/ui/draw/image.h"

namespace {
constexpr double kSavedImageQuality = 0.9;

// What this machine can do with shared items: messages and printing have no service here.
std::vector<std::string>& available() {
    static std::vector<std::string> types{UIActivityTypeCopyToPasteboard, UIActivityTypeSaveToCameraRoll,
                                          UIActivityTypeMail};
    return types;
}
std::vector<UIActivityViewController::Share>& performed() {
    static std::vector<UIActivityViewController::Share> shares;
    return shares;
}

// What the sheet shows for an activity.
std::string activityTitle(const std::string& type) {
    if (type == UIActivityTypeCopyToPasteboard) return "Copy";
    if (type == UIActivityTypeSaveToCameraRoll) return "Save Image";
    if (type == UIActivityTypeMail) return "Mail";
    if (type == UIActivityTypeMessage) return "Message";
    if (type == UIActivityTypePrint) return "Print";
    return type.substr(type.rfind('.') + 1);
}
}  // namespace

std::vector<std::string> UIActivityViewController::availableActivityTypes() {
    return available();
}
void UIActivityViewController::setAvailableActivityTypes(std::vector<std::string> types) {
    available() = std::move(types);
}
const std::vector<UIActivityViewController::Share>& UIActivityViewController::performedShares() {
    return performed();
}
void UIActivityViewController::clearPerformedShares() {
    performed().clear();
}

std::vector<std::string> UIActivityViewController::activityTypes() const {
    std::vector<std::string> out;
    for (const auto& t : available()) {
        if (std::find(excluded_.begin(), excluded_.end(), t) != excluded_.end()) continue;
        // Mail is offered only where a message can leave, saving only where there is an image.
        if (t == UIActivityTypeMail && !MFMailComposeViewController::canSendMail()) continue;
        if (t == UIActivityTypeSaveToCameraRoll && sharedImages().empty()) continue;
        out.push_back(t);
    }
    return out;
}

std::string UIActivityViewController::sharedText() const {
    std::string text;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const Value& item = items_[i];
        std::string piece;
        if (item.isString())
            piece = item.stringValue();
        else if (auto url = item.objectAs<NSURL>())
            piece = url->absoluteString();
        if (piece.empty()) continue;
        if (!text.empty() && text.back() != '\n' && piece.front() != '\n') text += '\n';
        text += piece;
    }
    return text;
}

std::vector<std::shared_ptr<UIImage>> UIActivityViewController::sharedImages() const {
    std::vector<std::shared_ptr<UIImage>> images;
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (auto image = items_[i].objectAs<UIImage>()) images.push_back(std::move(image));
    return images;
}

void UIActivityViewController::saveImages(std::function<void(const std::string&)> done) {
    auto library = PHPhotoLibrary::sharedPhotoLibrary();
    if (!library) return done("the photo library is unavailable");
    // Encoded on the library's queue, away from the screen; an image that does not encode fails
    // the whole save, so that the library takes all of them or none.
    auto encodeError = std::make_shared<std::string>();
    library->performChanges(
        [images = sharedImages(), encodeError] {
            std::vector<Bytes> encoded;
            for (const auto& image : images) {
                auto jpeg = UIImageJPEGRepresentation(image, kSavedImageQuality);
                if (!jpeg) {
                    *encodeError = "the image could not be encoded: " + jpeg.error();
                    return;
                }
                encoded.push_back(std::move(*jpeg));
            }
            for (auto& data : encoded) PHAssetChangeRequest::creationRequestForAssetFromImageData(std::move(data));
        },
        [done = std::move(done), encodeError](bool success, const std::shared_ptr<NSError>& error) {
            std::string why = !encodeError->empty() ? *encodeError
                              : success             ? std::string()
                              : error               ? error->localizedDescription()
                                                    : std::string("the photo library did not take the image");
            dispatch_async(dispatch_get_main_queue(), [done, why] { done(why); });
        });
}

void UIActivityViewController::perform(const std::string& type, std::function<void(const std::string&)> done) {
    if (type == UIActivityTypeCopyToPasteboard) {
        std::string text = sharedText();
        if (!text.empty()) UIPasteboard::generalPasteboard()->setString(text);
    } else if (type == UIActivityTypeMail) {
        MailMessage message;
        if (const Value* subject = values_.find("subject"); subject && subject->isString())
            message.subject = subject->stringValue();
        message.body = sharedText();
        // The mail program may answer later: the sheet reports when it has.
        MFMailComposeViewController::handOver(
            message, [done](Result<void> result) { done(result ? std::string() : result.error()); });
        return;
    } else if (type == UIActivityTypeSaveToCameraRoll) {
        saveImages(std::move(done));
        return;
    }
    done({});
}

void UIActivityViewController::finish(const std::string& type, bool completed, const std::string& error) {
    done_ = true;
    auto keep = self<UIActivityViewController>();
    auto report = [keep, type, completed, error] {
        if (keep->completion_) keep->completion_(type, completed, ValueArray{}, error);
    };
    if (!dismissViewControllerAnimated(true, report)) report();
}

bool UIActivityViewController::chooseActivity(const std::string& type) {
    auto types = activityTypes();
    if (done_ || std::find(types.begin(), types.end(), type) == types.end()) return false;
    // The choice is made: no other, nor a cancel, while the activity runs.
    done_ = true;
    const Value* subject = values_.find("subject");
    performed().push_back({type, items_, subject ? *subject : Value()});
    auto keep = self<UIActivityViewController>();
    perform(type, [keep, type](const std::string& error) { keep->finish(type, error.empty(), error); });
    return true;
}

bool UIActivityViewController::cancel() {
    if (done_) return false;
    finish("", false, "");
    return true;
}

void UIActivityViewController::loadView() {
    auto panel = StandInPanelView::make(UIScreen::mainScreen()->bounds());
    panel->setTitle("Share");
    // The choices as the sheet opens (mail may come or go later; a stale choice is refused).
    auto types = activityTypes();
    std::vector<std::string> lines;
    for (const auto& t : types) lines.push_back(activityTitle(t));
    panel->setLines(lines);
    panel->setButtons({"Cancel"});
    std::weak_ptr<UIActivityViewController> weak = self<UIActivityViewController>();
    panel->setOnButton([weak](std::size_t) {
        if (auto me = weak.lock()) me->cancel();
    });
    panel->setOnLine([weak, types](std::size_t i) {
        if (auto me = weak.lock(); me && i < types.size()) me->chooseActivity(types[i]);
    });
    setView(panel);
}
