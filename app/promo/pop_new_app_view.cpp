// The promotion pop-up: the fetch, the choice's picture and text, and the three answers.
#include "app/promo/pop_new_app_view.h"

#include <algorithm>

#include "foundation/date_custom.h"
#include "foundation/device.h"
#include "foundation/dictionary_custom.h"
#include "foundation/global.h"
#include "foundation/http_custom.h"
#include "foundation/lang.h"
#include "foundation/language_service.h"
#include "foundation/numeric.h"
#include "foundation/pics.h"
#include "foundation/string_custom_paths.h"
#include "foundation/string_custom_payload.h"
#include "language/server_pages.h"
#include "platform/net/url_response.h"
#include "platform/runtime/log.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/text/attributed_string.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_style.h"
#include "ui/popup/popup_metrics.h"
#include "ui/popup/text_measure_popup.h"
#include "ui/theme/font.h"
#include "widgets/button/icon_button.h"

namespace {

constexpr CGFloat kContainerRadius = 10;
constexpr CGFloat kPictureSide = 100;
constexpr CGFloat kPictureTop = 10;
constexpr CGFloat kPanelLeft = 10, kPanelTop = 120, kPanelRight = -10, kPanelBottom = -10;
constexpr CGFloat kPanelGrey = 17.0 / 255, kPanelAlpha = 2.0 / 3;
constexpr CGFloat kInfoSide = 40, kInfoBottom = -160;
constexpr CGFloat kButtonSide = 30, kButtonHeight = 40;
constexpr double kButtonRadius = 20;
constexpr CGFloat kYesBottom = -120, kNoThanksBottom = -65, kRemindBottom = -10;
constexpr float kMinWidth = 280;
constexpr CGFloat kTextPaddingW = 50, kTextPaddingH = 400;
constexpr std::uint64_t kPictureDays = 20, kPictureQueue = 10;

std::string stringIn(const Value& value) {
    return value.isString() ? *value.string() : std::string();
}

std::optional<std::string> deviceLanguage() {
    auto codes = Global::shared()->lcode();
    return codes ? codes->getDevice() : std::nullopt;
}

}  // namespace

void PopNewAppView::init() {
    PopCenteredView::init();
    bg()->setUserInteractionEnabled(true);
    buildContent();
    container()->addSubview(bg0_);
    addConstraintsFull(bg0_, container(), 1, 1, -1, -1);
    assignRound(*container(), kContainerRadius);
    updateDarkMode();
}

NewAppStore& PopNewAppView::store() {
    if (!store_) store_ = std::make_unique<NewAppStore>(Global::shared()->appVersion());
    return *store_;
}

void PopNewAppView::buildContent() {
    auto global = Global::shared();
    auto font = global->font();
    bg0_ = UIView::make();

    iv_ = UIImageView::make();
    iv_->setContentMode(UIViewContentMode::ScaleAspectFill);
    assignRound(*iv_, kPictureSide / 2);
    bg0_->addSubview(iv_);
    addConstraintsCT(iv_, bg0_, 0, kPictureTop, kPictureSide, kPictureSide);

    auto panel = UIView::make();
    panel->setBackgroundColor(UIColor::colorWithRed(kPanelGrey, kPanelGrey, kPanelGrey, kPanelAlpha));
    bg0_->addSubview(panel);
    addConstraintsFull(panel, bg0_, kPanelLeft, kPanelTop, kPanelRight, kPanelBottom);

    info_ = UILabel::make();
    info_->setText(global->appName());
    info_->setFont(font->iconFixedNormal());
    info_->setTextAlignment(NSTextAlignment::Center);
    info_->setNumberOfLines(0);
    panel->addSubview(info_);
    addConstraintsFull(info_, panel, kInfoSide, 0, -kInfoSide, kInfoBottom);

    std::weak_ptr<PopNewAppView> weak = self<PopNewAppView>();
    auto makeButton = [&](const char* key, CGFloat bottom, void (PopNewAppView::*action)()) {
        auto button = IconButton::buttonWithType(UIButtonType::System);
        button->setButtonCornerRadius(kButtonRadius);
        button->titleLabel()->setFont(font->iconFixedLarge1());
        button->setTitle(global->lang()->get(key), UIControlStateNormal);
        panel->addSubview(button);
        addConstraintsB(button, panel, kButtonSide, -kButtonSide, bottom, kButtonHeight);
        button->addAction(
            [weak, action](UIControl&) {
                if (auto s = weak.lock()) ((*s).*action)();
            },
            UIControlEventTouchUpInside);
        return button;
    };
    btnYes_ = makeButton("View on App Store", kYesBottom, &PopNewAppView::onYes);
    btnYes_->setType(IconButtonType::Primary);
    btnNoThanks_ = makeButton("No, Thanks", kNoThanksBottom, &PopNewAppView::onNoThanks);
    btnRemind_ = makeButton("Remind me later", kRemindBottom, &PopNewAppView::onRemind);
}

void PopNewAppView::updateDarkMode() {
    PopCenteredView::updateDarkMode();
    bg()->setBackgroundColor(UIColor::colorWithWhite(0, 0.2));
    setBgColor(UIColor::colorWithWhite(1, 0.5));
    bg0_->setBackgroundColor(UIColor::colorWithWhite(1, 0.5));
    info_->setTextColor(UIColor::whiteColor());
}

std::string PopNewAppView::requestAddress() const {
    auto global = Global::shared();
    const std::optional<std::string> language = deviceLanguage();
    Value query = Value::dictionary({{"name", Value(global->appName())},
                                     {"version", Value(global->appVersion())},
                                     {"lang", Value(language.value_or(std::string()))},
                                     {"p", Value(global->device()->platform())}});
    return server_pages::pageAddress(kPagePath) + "?" + queryString(query);
}

void PopNewAppView::testAvailable(std::function<void(bool)> completion) {
    if (loading_ || !store().isActivePerDay(deviceLanguage(), dateNow())) {
        if (completion) completion(false);
        return;
    }
    loading_ = true;
    std::weak_ptr<PopNewAppView> weak = self<PopNewAppView>();
    httpGET1(requestAddress(), [weak, completion = std::move(completion)](std::optional<Bytes> data,
                                                                          std::shared_ptr<NSURLResponse> response,
                                                                          std::shared_ptr<NSError> error) {
        auto strong = weak.lock();
        if (!strong) {
            if (completion) completion(false);
            return;
        }
        // A page the server failed on carries nothing to choose from.
        if (auto http = std::dynamic_pointer_cast<NSHTTPURLResponse>(response);
            http && (http->statusCode() < 200 || http->statusCode() > 299)) {
            Log::info("newapp", "the promoted apps page answered status " + std::to_string(http->statusCode()));
            data.reset();
        }
        strong->received(data, error, completion);
    });
}

void PopNewAppView::received(const std::optional<Bytes>& data, const std::shared_ptr<NSError>& error,
                             const std::function<void(bool)>& completion) {
    std::weak_ptr<PopNewAppView> weak = self<PopNewAppView>();
    server_pages::readOffMainQueue<std::optional<std::string>>(
        [data] {
            if (!data) return std::optional<std::string>();
            return dravelinqt(std::string_view(reinterpret_cast<const char*>(data->data()), data->size()));
        },
        [weak, error, completion](std::optional<std::string> payload) {
            auto strong = weak.lock();
            if (!strong) {
                if (completion) completion(false);
                return;
            }
            strong->receivedPayload(payload, error, completion);
        });
}

void PopNewAppView::receivedPayload(const std::optional<std::string>& payload, const std::shared_ptr<NSError>& error,
                                    const std::function<void(bool)>& completion) {
    loading_ = false;
    if (error)
        Log::info("newapp", "the promoted apps could not be fetched: " + error->localizedDescription());
    else if (!payload)
        Log::info("newapp", "the promoted apps page carries no tagged payload");
    auto device = Global::shared()->device();
    const bool ready = store().receive(payload, deviceLanguage(), dateNow(),
                                       [device](const std::string& scheme) { return device->isAppInstalled(scheme); });
    if (completion) completion(ready);
}

void PopNewAppView::show(const std::shared_ptr<UIView>& view) {
    updateView();
    ts_ = -1;
    std::weak_ptr<PopNewAppView> weak = self<PopNewAppView>();
    PopCenteredView::show(
        view,
        [weak] {
            if (auto s = weak.lock(); s && s->ts_ >= 1) s->restartTimerTimeout();
        },
        nullptr);
}

void PopNewAppView::updateView() {
    auto font = Global::shared()->font();
    const std::string message = stringIn(dict()["message"]);
    const std::string title = stringIn(dict()["title"]);
    auto text = NSMutableAttributedString::make(message + "\n\n" + title);
    const Value large(font->iconFixedLarge1());
    const std::size_t messageLength = NSMutableAttributedString::make(message)->length();
    const std::size_t titleLength = NSMutableAttributedString::make(title)->length();
    text->addAttribute(NSFontAttributeName, large, {0, messageLength});
    text->addAttribute(NSFontAttributeName, large, {text->length() - titleLength, titleLength});
    attributedText_ = text;

    std::shared_ptr<UIView> own;
    if (auto owner = vc()) own = owner->view();
    const CGSize f = own ? own->frame().size : CGSize{};
    const float w = minFloat(float(f.width), float(f.height)) - float(kPopupScreenMargin);
    const CGSize measured = measurePopupText(attributedText_, w);
    loadPicture();
    setSize({clampFloat(float(measured.width + kTextPaddingW), kMinWidth, w), measured.height + kTextPaddingH});
    info_->setAttributedText(attributedText_);
}

void PopNewAppView::loadPicture() {
    const Value& image = dict()["image"];
    auto pics = Global::shared()->pics();
    if (!pics || !image.isString() || image.string()->empty()) return;
    if (!qImage_) qImage_ = dispatch_queue_create("PopNewAppView.Image");
    const std::string url = *image.string();
    const std::string path = withCachePath("moreapp") + "/" + fileName(url);
    std::weak_ptr<UIImageView> weakPicture = iv_;
    pics->downloadAndSave(
        qImage_, url, path, kPictureDays, kPictureQueue, [](PicsBase::Image picture) { return picture; },
        [weakPicture](PicsBase::Image picture) {
            if (auto iv = weakPicture.lock()) iv->setImage(std::move(picture));
        });
}

void PopNewAppView::onYes() {
    hideInternal();
    const std::string url = stringIn(dict()["url"]);
    store().denyChosen();
    if (!url.empty()) UIApplication::sharedApplication()->openURL(url);
}

void PopNewAppView::onRemind() {
    hideInternal();
}

void PopNewAppView::onNoThanks() {
    hideInternal();
    store().denyChosen();
}

void PopNewAppView::restartTimerTimeout() {
    timerTimeout_.restart(kTick, weakBind(self<PopNewAppView>(), &PopNewAppView::onTimerTimeout));
}

void PopNewAppView::onTimerTimeout() {
    btnRemind_->setTitle(Global::shared()->lang()->get("Not Now") + " (" + std::to_string(ts_) + ")",
                         UIControlStateNormal);
    if (ts_-- < 0) {
        resetTimerTimeout();
        hideInternal();
        return;
    }
    restartTimerTimeout();
}
