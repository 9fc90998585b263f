// The side menu's list of the maker's other apps: fetched once a day (and again when the device
// language changes) from the maker's page, kept in the menu's store, shown as app rows.
#include "foundation/date_custom.h"
#include "foundation/global.h"
#include "foundation/http_custom.h"
#include "foundation/language_service.h"
#include "foundation/last_info.h"
#include "foundation/pics.h"
#include "foundation/string_custom_paths.h"
#include "language/server_pages.h"
#include "platform/runtime/log.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/control/ui_label.h"
#include "settings/left/left_cells.h"
#include "settings/left/left_controller_base.h"
#include "settings/left/maker_links.h"
#include "settings/value_members.h"
#include "ui/layout/view_custom_style.h"
#include "ui/theme/color.h"
#include "ui/theme/font.h"

namespace {
std::string deviceLanguage() {
    auto service = Global::shared()->lcode();
    return service ? service->getDevice().value_or(std::string()) : std::string();
}

// An app row from one entry of the server's list: members that are not strings count as
// missing; an entry that is not an object gives no row.
std::optional<Value> appRow(const Value& entry) {
    if (!entry.isDictionary()) return std::nullopt;
    Value row = Value::dictionary({{"type", Value("app")}});
    for (auto [from, to] : {std::pair{"title", "title"}, std::pair{"url", "addr"}, std::pair{"image", "image"}}) {
        const Value member = entry[from];
        if (member.isString()) row.set(to, member);
    }
    row.set("height", Value(double(LeftControllerBase::kAppRowHeight)));
    return row;
}

}  // namespace

std::shared_ptr<LastInfo> LeftControllerBase::lastInfo() {
    if (!lastInfo_) lastInfo_ = LastInfo::make(withCachePath(kStoreName));
    return lastInfo_;
}

void LeftControllerBase::save() {
    lastInfo()->save();
}

bool LeftControllerBase::isActivePerDay() {
    auto store = lastInfo();
    const Value apps = store->get("moreapps");
    const Value at = store->get("at");
    const Value lang = store->get("lang");
    const bool fresh = apps.isArray() && apps.count() > 0 && at.isDate() && lang.isString() &&
                       *lang.string() == deviceLanguage() && !isExpired(at.dateValue(), kMoreAppsLifetime);
    return !fresh;
}

void LeftControllerBase::updateApps() {
    if (loadingApps_ || !isActivePerDay()) {
        updateApps1();
        return;
    }
    loadingApps_ = true;
    arrApps_ = Value::array();
    const std::string address = maker_links::moreAppsRequest(deviceLanguage());
    std::weak_ptr<LeftControllerBase> weak = self<LeftControllerBase>();
    httpGET1(address, [weak](std::optional<Bytes> data, std::shared_ptr<NSURLResponse>, std::shared_ptr<NSError>) {
        if (auto me = weak.lock()) me->receiveApps(data);
    });
}

void LeftControllerBase::receiveApps(const std::optional<Bytes>& data) {
    loadingApps_ = false;
    std::optional<Value> payload;
    if (data)
        payload =
            server_pages::replyPayload(std::string_view(reinterpret_cast<const char*>(data->data()), data->size()));
    if (payload && payload->isArray()) {
        auto store = lastInfo();
        store->set(Value::date(dateNow()), "at");
        store->set(Value(deviceLanguage()), "lang");
        store->set(*payload, "moreapps");
        save();
        noListTold_ = false;
    } else if (!noListTold_) {
        noListTold_ = true;
        Log::warning("settings", "more apps: the reply holds no list; keeping the stored one");
    }
    updateApps1();
}

void LeftControllerBase::updateApps1() {
    Value rows = Value::array();
    const Value apps = lastInfo()->get("moreapps");
    if (apps.isArray())
        for (std::size_t i = 0; i < apps.count(); ++i)
            if (auto row = appRow(apps[i])) rows.append(*row);
    arrApps_ = rows;
    updateData();
    updateView();
}

void LeftControllerBase::configureAppCell(UITableViewCell& cell, std::size_t index) {
    auto content = cell.contentView();
    const Value row = index < arrApps_.count() ? arrApps_[index] : Value();
    auto icon = std::dynamic_pointer_cast<UIImageView>(content->viewWithTag(LeftCell::kIconTag));
    if (auto title = std::dynamic_pointer_cast<UILabel>(content->viewWithTag(LeftCell::kAppTitleTag))) {
        LeftCell::setRowText(*title, textMember(row, "title"));
        title->setFont(Global::shared()->font()->textNormal());
        title->setTextColor(Global::shared()->color()->labelDefault());
    }
    if (!icon) return;
    assignRound(*icon, kIconCornerRadius);
    const std::string address = textMember(row, "image");
    auto* left = dynamic_cast<LeftCell*>(&cell);
    if (left && left->iconAddress() == address && icon->image()) return;
    icon->setImage(nullptr);
    if (left) left->setIconAddress(address);
    auto pics = Global::shared()->pics();
    if (address.empty() || !pics) return;
    std::weak_ptr<UIImageView> weakIcon = icon;
    std::weak_ptr<UITableViewCell> weakCell = cell.self<UITableViewCell>();
    pics->downloadAndSave(
        q(), address, withCachePath("moreapps") + "/" + fileName(address), kIconDays, kIconQueueLimit,
        [](PicsBase::Image image) { return image; },
        [weakIcon, weakCell, address](PicsBase::Image image) {
            auto icon = weakIcon.lock();
            auto cellNow = std::dynamic_pointer_cast<LeftCell>(weakCell.lock());
            // The cell may show another app by now.
            if (icon && (!cellNow || cellNow->iconAddress() == address)) icon->setImage(image);
        });
}
