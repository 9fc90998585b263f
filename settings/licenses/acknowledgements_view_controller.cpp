// The acknowledgements table: reading the list file, the rows, the header and footer labels.
#include "settings/licenses/acknowledgements_view_controller.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "app/base/my_navigation_controller.h"
#include "app/web/my_web_controller.h"
#include "foundation/links.h"
#include "foundation/strings_table.h"
#include "platform/runtime/log.h"
#include "platform/storage/bundle.h"
#include "platform/text/string_compare.h"
#include "platform/ui/bar/label_drawing.h"
#include "platform/ui/bar/ui_bar_button_item.h"
#include "platform/ui/bar/ui_navigation_item.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/controller/ui_navigation_controller.h"
#include "platform/ui/gesture/ui_tap_gesture_recognizer.h"
#include "platform/ui/text/string_drawing.h"
#include "settings/licenses/acknowledgement_view_controller.h"
#include "settings/licenses/acknowledgements_parser.h"

namespace {
// The resource bundle the screen's own texts come from, chosen once per run.
std::shared_ptr<NSBundle> resourceBundle() {
    static std::shared_ptr<NSBundle> chosen = [] {
        auto main = NSBundle::mainBundle();
        auto path = main->pathForResource("AcknowledgementsViewController", "bundle");
        auto bundle = path ? NSBundle::bundleWithPath(*path) : nullptr;
        if (!bundle) return main;
        auto preferred = main->preferredLocalizations();
        std::string language = preferred.empty() ? "en" : preferred.front();
        auto held = bundle->localizations();
        auto has = [&](const std::string& name) { return std::find(held.begin(), held.end(), name) != held.end(); };
        if (!has(language)) language = language.substr(0, language.find('-'));
        if (!has(language)) return bundle;
        auto folder = NSBundle::bundleWithPath(bundle->bundlePath() + "/" + language + ".lproj");
        return folder ? folder : bundle;
    }();
    return chosen;
}

std::optional<std::string> lookUp(const std::string& tablePath, const std::string& key) {
    auto table = readStringsTable(tablePath);
    if (!table) return std::nullopt;
    const Value value = (*table)[key];
    return value.isString() ? std::optional(*value.string()) : std::nullopt;
}

std::optional<std::string> localizedIn(const NSBundle& bundle, const std::string& key) {
    auto path = bundle.pathForResource("Localizable", "strings");
    return path ? lookUp(*path, key) : std::nullopt;
}
}  // namespace

std::shared_ptr<AcknowledgementsViewController> AcknowledgementsViewController::makeWithPath(const std::string& path) {
    auto screen = make(UITableViewStyle::Grouped);
    screen->commonInitWithAcknowledgementsPlistPath(path);
    return screen;
}

std::shared_ptr<AcknowledgementsViewController> AcknowledgementsViewController::makeWithFileNamed(
    const std::string& name) {
    auto path = acknowledgementsPlistPathForName(name);
    auto screen = make(UITableViewStyle::Grouped);
    screen->commonInitWithAcknowledgementsPlistPath(path);
    return screen;
}

std::shared_ptr<AcknowledgementsViewController> AcknowledgementsViewController::acknowledgementsViewController() {
    auto screen = make(UITableViewStyle::Grouped);
    screen->commonInitWithAcknowledgementsPlistPath(defaultAcknowledgementsPlistPath());
    return screen;
}

std::optional<std::string> AcknowledgementsViewController::acknowledgementsPlistPathForName(const std::string& name) {
    return NSBundle::mainBundle()->pathForResource(name, "plist");
}

std::optional<std::string> AcknowledgementsViewController::defaultAcknowledgementsPlistPath() {
    const Value bundleName = NSBundle::mainBundle()->objectForInfoDictionaryKey("CFBundleName");
    if (bundleName.isString()) {
        auto named = acknowledgementsPlistPathForName(std::string(kListPrefix) + "-" + *bundleName.string() +
                                                      "-acknowledgements");
        if (named) return named;
    }
    return acknowledgementsPlistPathForName(std::string(kListPrefix) + "-acknowledgements");
}

std::string AcknowledgementsViewController::localizedStringForKey(const std::string& key,
                                                                  const std::string& defaultValue) {
    std::string own = localizedIn(*resourceBundle(), key).value_or(defaultValue);
    return localizedIn(*NSBundle::mainBundle(), own).value_or(own);
}

std::string AcknowledgementsViewController::localizedTitle() {
    return localizedStringForKey("AckAcknowledgements", "Acknowledgements");
}

std::string AcknowledgementsViewController::localizedGeneratorFooterText() {
    return localizedStringForKey(kGeneratorFooterKey, kGeneratorFooterDefault) + "\n" + kGeneratorAddress;
}

void AcknowledgementsViewController::commonInitWithAcknowledgementsPlistPath(const std::optional<std::string>& path) {
    setTitle(localizedTitle());
    auto parser = AcknowledgementsParser::make(path.value_or(std::string()));
    const std::string& header = parser->header();
    if (header != kGeneratorHeader && !header.empty()) headerText_ = header;
    const std::string& footer = parser->footer();
    if (footer == kGeneratorFooterHTTPS || footer == kGeneratorFooterHTTP)
        footerText_ = localizedGeneratorFooterText();
    else if (!footer.empty())
        footerText_ = footer;
    acknowledgements_ = parser->acknowledgements();
    std::stable_sort(acknowledgements_.begin(), acknowledgements_.end(), [](const auto& a, const auto& b) {
        return localizedCompare(a->title(), b->title()) == NSOrderedAscending;
    });
}

void AcknowledgementsViewController::awakeFromStoryboard() {
    UITableViewController::awakeFromStoryboard();
    commonInitWithAcknowledgementsPlistPath(plistName_.empty() ? defaultAcknowledgementsPlistPath()
                                                               : acknowledgementsPlistPathForName(plistName_));
}

std::shared_ptr<UIFont> AcknowledgementsViewController::headerFooterFont() {
    return UIFont::preferredFontForTextStyle(UIFontTextStyleFootnote);
}

CGFloat AcknowledgementsViewController::heightForLabelWithText(const std::string& text, CGFloat width) {
    CGRect r = boundingRectWithSize(text, CGSize{width, DBL_MAX}, NSStringDrawingUsesLineFragmentOrigin,
                                    labelAttributes(headerFooterFont(), nullptr));
    return std::ceil(r.size.height);
}

std::shared_ptr<UILabel> AcknowledgementsViewController::headerFooterLabelWithText(const std::string& text) {
    const CGFloat width = view()->bounds().size.width - 2 * kLabelMargin;
    auto label = UILabel::make(CGRectMake(kLabelMargin, kLabelMargin, width, heightForLabelWithText(text, width)));
    label->setText(text);
    label->setFont(headerFooterFont());
    label->setTextColor(UIColor::secondaryLabelColor());
    label->setNumberOfLines(0);
    label->setTextAlignment(NSTextAlignment::Center);
    label->setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin | UIViewAutoresizingFlexibleRightMargin);
    return label;
}

void AcknowledgementsViewController::configureHeaderView() {
    auto label = headerFooterLabelWithText(headerText_.value_or(std::string()));
    auto header =
        UIView::make(CGRectMake(0, 0, tableView()->bounds().size.width, label->frame().size.height + 2 * kLabelMargin));
    header->addSubview(label);
    tableView()->setTableHeaderView(header);
}

void AcknowledgementsViewController::configureFooterView() {
    const std::string text = footerText_.value_or(std::string());
    auto label = headerFooterLabelWithText(text);
    // The generator's host name, from its address.
    const std::string address = kGeneratorAddress;
    const std::string host =
        address.substr(address.find("//") + 2, address.find('/', address.find("//") + 2) - address.find("//") - 2);
    if (text.find(host) != std::string::npos) {
        std::weak_ptr<AcknowledgementsViewController> weak = self<AcknowledgementsViewController>();
        auto tap = UITapGestureRecognizer::make();
        tap->addTarget([weak](UIGestureRecognizer&) {
            if (auto me = weak.lock()) me->openGeneratorWebsite();
        });
        UIViewAddGestureRecognizer(*label, tap);
        label->setUserInteractionEnabled(true);
    }
    auto footer = UIView::make(CGRectMake(0, 0, label->frame().size.width, label->frame().size.height + kLabelMargin));
    footer->setUserInteractionEnabled(true);
    label->setFrame(CGRectMake(0, 0, label->frame().size.width, label->frame().size.height));
    footer->addSubview(label);
    tableView()->setTableFooterView(footer);
}

void AcknowledgementsViewController::openGeneratorWebsite() {
    auto web = MyWebController::make();
    web->setUrl(kGeneratorAddress);
    web->setDelegate(std::dynamic_pointer_cast<MyWebControllerDelegate>(self<AcknowledgementsViewController>()));
    auto host = navigationController() ? std::static_pointer_cast<UIViewController>(navigationController())
                                       : self<UIViewController>();
    host->presentViewController(MyNavigationController::withRoot(web), true);
}

void AcknowledgementsViewController::onMyWebControllerDone(MyWebController&) {
    auto host = navigationController() ? std::static_pointer_cast<UIViewController>(navigationController())
                                       : self<UIViewController>();
    host->dismissViewControllerAnimated(true);
}

void AcknowledgementsViewController::viewDidLoad() {
    UITableViewController::viewDidLoad();
    tableView()->setEstimatedRowHeight(UITableViewAutomaticDimension);
    tableView()->registerClass<UITableViewCell>(kCellIdentifier);
}

void AcknowledgementsViewController::viewWillAppear(bool animated) {
    UITableViewController::viewWillAppear(animated);
    if (headerText_) configureHeaderView();
    if (footerText_) configureFooterView();
    auto navigation = navigationController();
    if (navigation && navigation->presentingViewController() && !navigation->viewControllers().empty() &&
        navigation->viewControllers().front().get() == this) {
        std::weak_ptr<AcknowledgementsViewController> weak = self<AcknowledgementsViewController>();
        navigationItem()->setLeftBarButtonItem(
            UIBarButtonItem::withSystemItem(UIBarButtonSystemItem::Done, [weak](UIBarButtonItem&) {
                if (auto me = weak.lock()) me->dismissViewControllerAnimated(true);
            }));
    }
    if (auto selected = tableView()->indexPathForSelectedRow())
        tableView()->deselectRowAtIndexPath(*selected, animated);
}

void AcknowledgementsViewController::viewDidAppear(bool animated) {
    UITableViewController::viewDidAppear(animated);
    if (!acknowledgements_.empty()) return;
    Log::warning("settings", "** AcknowledgementsViewController Warning **");
    Log::warning("settings", "No acknowledgements found.");
    Log::warning("settings", "The credits list file may be missing from the application's resources.");
    Log::warning("settings", "See the credits tool's instructions at " + std::string(kGeneratorAddress));
}

void AcknowledgementsViewController::viewWillTransitionToSize(CGSize size) {
    UITableViewController::viewWillTransitionToSize(size);
    if (headerText_) configureHeaderView();
    if (footerText_) configureFooterView();
}

std::shared_ptr<UITableViewCell> AcknowledgementsViewController::cellForRowAtIndexPath(UITableView& table,
                                                                                       NSIndexPath path) {
    auto cell = table.dequeueReusableCellWithIdentifier(kCellIdentifier, path);
    cell->textLabel()->setText(path.row < acknowledgements_.size() ? acknowledgements_[path.row]->title()
                                                                   : std::string());
    cell->setAccessoryType(UITableViewCellAccessoryType::DisclosureIndicator);
    return cell;
}

void AcknowledgementsViewController::didSelectRowAtIndexPath(UITableView&, NSIndexPath path) {
    if (path.row >= acknowledgements_.size()) return;
    const auto& entry = acknowledgements_[path.row];
    if (auto navigation = navigationController())
        navigation->pushViewController(AcknowledgementViewController::make(entry->title(), entry->text()), true);
}
