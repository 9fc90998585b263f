// The crop screen: its bars, the ratio sheet and the values applied once the view has its size.
#include "editor/crop/crop_view_controller.h"

#include <map>
#include <mutex>

#include "editor/crop/crop_choice.h"
#include "foundation/strings_table.h"
#include "platform/storage/bundle.h"
#include "platform/ui/bar/ui_bar_button_item.h"
#include "platform/ui/bar/ui_navigation_bar.h"
#include "platform/ui/bar/ui_navigation_item.h"
#include "platform/ui/controller/ui_navigation_controller.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/image.h"

namespace {

// The bundle's table, read once per bundle folder.
Value cropTable() {
    static std::mutex mutex;
    static std::map<std::string, Value> tables;
    auto main = NSBundle::mainBundle();
    std::string folder = main->resourcePath() + "/" + CropViewController::kBundleName;
    std::lock_guard lock(mutex);
    if (auto found = tables.find(folder); found != tables.end()) return found->second;
    Value table = Value::dictionary();
    if (auto bundle = NSBundle::bundleWithPath(folder)) {
        bundle->setPreferredLocalizations(main->preferredLocalizations());
        if (auto path = bundle->pathForResource("Localizable", "strings"))
            if (auto read = readStringsTable(*path)) table = read.value();
    }
    tables[folder] = table;
    return table;
}

}  // namespace

std::string CropViewController::localized(const std::string& key) {
    Value table = cropTable();
    const Value* v = table.isDictionary() ? table.dictionaryPtr()->find(key) : nullptr;
    return v && v->isString() ? v->stringValue() : key;
}

void CropViewController::setImage(std::shared_ptr<UIImage> image) {
    image_ = std::move(image);
    if (cropView_) cropView_->setImage(image_);
}

void CropViewController::setKeepingCropAspectRatio(bool keep) {
    keepingCropAspectRatio_ = keep;
    if (cropView_) cropView_->setKeepingCropAspectRatio(keep);
}

void CropViewController::setCropAspectRatio(double ratio) {
    cropAspectRatio_ = ratio;
    if (cropView_) cropView_->setCropAspectRatio(ratio);
}

void CropViewController::setCropRect(CGRect rect) {
    cropRect_ = rect;
    imageCropRect_ = CGRectZero;
    if (!cropView_) return;
    CGRect current = cropView_->cropRect();
    cropView_->setCropRect(
        {{current.origin.x + rect.origin.x, current.origin.y + rect.origin.y},
         {std::min(current.size.width, rect.size.width), std::min(current.size.height, rect.size.height)}});
}

void CropViewController::setImageCropRect(CGRect rect) {
    imageCropRect_ = rect;
    cropRect_ = CGRectZero;
    if (cropView_) cropView_->setImageCropRect(rect);
}

void CropViewController::loadView() {
    auto root = UIView::make(UIScreen::mainScreen()->bounds());
    root->setBackgroundColor(UIColor::blackColor());
    root->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    setView(root);
    cropView_ = CropView::make(root->bounds());
    root->addSubview(cropView_);
}

void CropViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    auto nav = navigationController();
    if (nav) {
        nav->navigationBar()->setTranslucent(false);
        nav->toolbar()->setTranslucent(false);
    }
    std::weak_ptr<CropViewController> weak = self<CropViewController>();
    navigationItem()->setLeftBarButtonItem(
        UIBarButtonItem::withSystemItem(UIBarButtonSystemItem::Cancel, [weak](auto&) {
            if (auto me = weak.lock()) me->cancel();
        }));
    navigationItem()->setRightBarButtonItem(UIBarButtonItem::withSystemItem(UIBarButtonSystemItem::Done, [weak](auto&) {
        if (auto me = weak.lock()) me->done();
    }));
    if (toolbarItems().empty()) {
        auto flexible = [] { return UIBarButtonItem::withSystemItem(UIBarButtonSystemItem::FlexibleSpace, nullptr); };
        setToolbarItems({flexible(),
                         UIBarButtonItem::withTitle(localized("Constrain"), UIBarButtonItemStyle::Bordered,
                                                    [weak](auto&) {
                                                        if (auto me = weak.lock()) me->constrain();
                                                    }),
                         flexible()});
    }
    if (nav) nav->setToolbarHidden(toolbarHidden_);
    cropView_->setImage(image_);
}

void CropViewController::viewDidAppear(bool animated) {
    UIViewController::viewDidAppear(animated);
    // The picture is fitted by the crop view's layout; the values below need it in place.
    cropView_->layoutIfNeeded();
    if (cropAspectRatio_ != 0) setCropAspectRatio(cropAspectRatio_);
    if (cropRect_ != CGRectZero) setCropRect(cropRect_);
    if (imageCropRect_ != CGRectZero) setImageCropRect(imageCropRect_);
    setKeepingCropAspectRatio(keepingCropAspectRatio_);
}

void CropViewController::cancel() {
    if (auto d = delegate_.lock()) d->cropViewControllerDidCancel(*this);
}

void CropViewController::done() {
    if (auto d = delegate_.lock()) d->cropViewControllerDidFinishCroppingImage(*this, cropView_->croppedImage());
}

void CropViewController::constrain() {
    std::vector<std::string> titles;
    for (const auto& t : cropChoiceTitles()) titles.push_back(localized(t));
    actionSheet_ = UIActionSheet::make("", self<CropViewController>(), localized("Cancel"), titles);
    auto nav = navigationController();
    actionSheet_->showFromToolbar(nav ? nav->toolbar() : nullptr);
}

void CropViewController::actionSheetClickedButtonAtIndex(UIActionSheet&, long index) {
    CGSize picture = image_ ? image_->size() : CGSize{};
    auto effect = cropChoiceEffect(index, cropView_->cropRect(), picture, cropView_->pictureRect());
    if (effect.ratio) cropView_->setCropAspectRatio(*effect.ratio);
    if (effect.rect) cropView_->setCropRect(*effect.rect);
}
