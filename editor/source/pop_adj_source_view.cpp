// The image-source editor's three choices, its pickers, the crop and the status bar around them.
#include "editor/source/pop_adj_source_view.h"

#include "app/base/my_view_controller.h"
#include "editor/adjust/adj_record.h"
#include "filter/filter_element.h"
#include "foundation/global.h"
#include "platform/image/ci_image.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/controller/ui_navigation_controller.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/image.h"
#include "ui/controller/view_controller_dialogs.h"
#include "ui/controller/view_controller_presentation.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/popup/hud_view.h"
#include "ui/theme/font.h"
#include "widgets/button/icon_button.h"

void PopAdjSourceView::init() {
    PopAdjGeneralBase::init();
    b0_ = layOutEditor(kSize, UIColor::colorWithWhite(0, 1));
    b0_->setBackgroundColor(UIColor::colorWithWhite(1, 1));
    auto font = Global::shared()->font();
    std::weak_ptr<PopAdjSourceView> weak = self<PopAdjSourceView>();
    auto make = [&](const char* title, std::uint16_t glyph, int row, std::function<void(UIControl&)> action) {
        auto b = IconButton::buttonWithType(UIButtonType::System);
        if (font) b->titleLabel()->setFont(font->textFixedNormal());
        b->setTitle(title, UIControlStateNormal);
        b->addAwesomeIcon(glyph, true);
        b->addAction(std::move(action), UIControlEventTouchUpInside);
        b0_->addSubview(b);
        // Centred across the panel, which gets its size from the pop-up's layout.
        addConstraintsCT(b, b0_, 0, kButtonTops[row], kButtonSize.width, kButtonSize.height);
        return b;
    };
    btnCamera0_ = make(kCameraSource, kGlyphCamera, 0, [weak](UIControl&) {
        if (auto me = weak.lock()) me->onCamera0();
    });
    btnCamera1_ = make(kTakeNow, kGlyphCamera, 1, [weak](UIControl& c) {
        if (auto me = weak.lock()) me->onCamera1(c.shared_from_this());
    });
    btnPhotoLibrary_ = make(kPhotoLibrary, kGlyphPicture, 2, [weak](UIControl& c) {
        if (auto me = weak.lock()) me->onPhotoLibrary(c.shared_from_this());
    });
}

void PopAdjSourceView::show(const std::shared_ptr<NSObject>& sender, const Value& record, Callback completion) {
    value_ = record;
    btnCamera1_->setEnabled(UIImagePickerController::isSourceTypeAvailable(UIImagePickerControllerSourceType::Camera));
    btnPhotoLibrary_->setEnabled(
        UIImagePickerController::isSourceTypeAvailable(UIImagePickerControllerSourceType::PhotoLibrary));
    PopTitleBase::show(sender, adjRecordTitle(record), [completion = std::move(completion)] {
        if (completion) completion();
    });
}

void PopAdjSourceView::onCamera0() {
    if (value_.isDictionary()) value_.dictionaryPtr()->remove("value");
    alert(vc(), kCameraSelected, nullptr);
    reportChange(value_);
}

void PopAdjSourceView::updateStatusBar0() {
    auto app = UIApplication::sharedApplication();
    lastStatusBarHidden_ = app->isStatusBarHidden();
    lastStatusBarStyle_ = app->statusBarStyle();
    app->setStatusBarHidden(false, UIStatusBarAnimation::Fade);
    app->setStatusBarStyle(UIStatusBarStyle::Default, true);
}

void PopAdjSourceView::updateStatusBar1() {
    auto app = UIApplication::sharedApplication();
    app->setStatusBarHidden(lastStatusBarHidden_, UIStatusBarAnimation::Fade);
    app->setStatusBarStyle(lastStatusBarStyle_, true);
}

void PopAdjSourceView::onCamera1(const std::shared_ptr<NSObject>& sender) {
    openPicker(UIImagePickerControllerSourceType::Camera, Pick::Camera, sender);
}

void PopAdjSourceView::onPhotoLibrary(const std::shared_ptr<NSObject>& sender) {
    openPicker(UIImagePickerControllerSourceType::PhotoLibrary, Pick::PhotoLibrary, sender);
}

void PopAdjSourceView::openPicker(UIImagePickerControllerSourceType source, Pick pick,
                                  const std::shared_ptr<NSObject>& sender) {
    auto owner = vc();
    if (!owner) return;
    updateStatusBar0();
    auto screen = std::dynamic_pointer_cast<MyViewController>(owner);
    if (screen) screen->hudAct()->show(sender);
    auto picker = UIImagePickerController::make();
    if (!picker->setSourceType(source)) {
        // The source went away since the buttons were enabled.
        if (screen) screen->hudAct()->hide();
        updateStatusBar1();
        return;
    }
    picker->setMediaTypes({kUTTypeImage});
    if (source == UIImagePickerControllerSourceType::Camera) picker->setAllowsEditing(false);
    picker->setPickerDelegate(self<PopAdjSourceView>());
    imagePick_ = pick;
    std::weak_ptr<MyViewController> weakScreen = screen;
    present(
        owner, picker,
        [weakScreen] {
            if (auto s = weakScreen.lock()) s->hudAct()->hide();
        },
        true);
}

void PopAdjSourceView::didFinishPickingMediaWithInfo(UIImagePickerController&, const ValueDictionary& info) {
    const Value* picked = info.find(UIImagePickerControllerOriginalImage);
    auto image = picked ? std::dynamic_pointer_cast<UIImage>(picked->object()) : nullptr;
    if (imagePick_ != Pick::Camera && imagePick_ != Pick::PhotoLibrary) return;
    auto owner = vc();
    if (!owner) return;
    updateStatusBar1();
    auto screen = std::dynamic_pointer_cast<MyViewController>(owner);
    if (screen) screen->hudView()->show();
    std::weak_ptr<PopAdjSourceView> weak = self<PopAdjSourceView>();
    std::weak_ptr<MyViewController> weakScreen = screen;
    dismiss(
        owner,
        [weak, weakScreen, image] {
            auto me = weak.lock();
            auto owner = me ? me->vc() : nullptr;
            if (!owner) return;
            auto crop = CropViewController::make();
            crop->setDelegate(me);
            crop->setImage(image);
            auto nav = UINavigationController::withRoot(crop);
            me->updateStatusBar0();
            present(
                owner, nav,
                [weakScreen] {
                    if (auto s = weakScreen.lock()) s->hudView()->hide();
                },
                true);
        },
        true);
}

void PopAdjSourceView::cropViewControllerDidFinishCroppingImage(CropViewController&,
                                                                const std::shared_ptr<UIImage>& image) {
    updateStatusBar1();
    dismissPresented();
    auto picture = image && image->cgImage() ? CIImage::imageWithCGImage(image->cgImage()) : nullptr;
    if (!picture) return;  // nothing of the picture was inside the crop
    FilterElement::setAttrValueImage(value_, picture);
    reportChange(value_);
}

void PopAdjSourceView::imagePickerControllerDidCancel(UIImagePickerController&) {
    updateStatusBar1();
    dismissPresented();
}

void PopAdjSourceView::cropViewControllerDidCancel(CropViewController&) {
    updateStatusBar1();
    dismissPresented();
}

void PopAdjSourceView::dismissPresented() {
    if (auto owner = vc())
        dismiss(
            owner, [] {}, true);
}
