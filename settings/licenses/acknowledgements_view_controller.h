// A table of credited components, one row per entry, each leading to its licence text; with an
// optional header and footer text above and below the rows. Made from an acknowledgements list
// file (sorted by title in the current locale), from a storyboard, or by a subclass that fills
// `acknowledgements` itself. Main-thread only.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/web/my_web_controller_delegate.h"
#include "platform/ui/controller/ui_table_view_controller.h"
#include "settings/licenses/acknowledgement.h"

class UIFont;
class UILabel;

class AcknowledgementsViewController : public UITableViewController, public MyWebControllerDelegate {
public:
    KORVA_MAKE(AcknowledgementsViewController)
    static constexpr CGFloat kLabelMargin = 20;
    static constexpr const char* kCellIdentifier = "Cell";

    // The conventions of the credits list generator the screen recognises.
    static constexpr const char* kGeneratorHeader = "Korva uses the following components:";
    static constexpr const char* kGeneratorAddress = "https://credits.korva.invalid/";
    static constexpr const char* kGeneratorFooterHTTPS = "Listed by the credits tool - https://credits.korva.invalid/";
    static constexpr const char* kGeneratorFooterHTTP = "Listed by the credits tool - http://credits.korva.invalid/";
    static constexpr const char* kGeneratorFooterKey = "AckGeneratorFooter";
    static constexpr const char* kGeneratorFooterDefault = "Listed by the credits tool";
    static constexpr const char* kListPrefix = "Credits";

    // A grouped table read from the list file at the path.
    static std::shared_ptr<AcknowledgementsViewController> makeWithPath(const std::string& path);
    static std::shared_ptr<AcknowledgementsViewController> makeWithFileNamed(const std::string& name);
    // A screen on the default list file.
    static std::shared_ptr<AcknowledgementsViewController> acknowledgementsViewController();

    static std::optional<std::string> acknowledgementsPlistPathForName(const std::string& name);
    // "<prefix>-<bundle name>-acknowledgements" when the bundle has it, else "<prefix>-acknowledgements".
    static std::optional<std::string> defaultAcknowledgementsPlistPath();
    // The text from the screen's own resource bundle, then the main bundle's table over it.
    static std::string localizedStringForKey(const std::string& key, const std::string& defaultValue);
    static std::string localizedTitle();
    static std::string localizedGeneratorFooterText();

    const std::vector<std::shared_ptr<Acknowledgement>>& acknowledgements() const { return acknowledgements_; }
    void setAcknowledgements(std::vector<std::shared_ptr<Acknowledgement>> a) { acknowledgements_ = std::move(a); }
    const std::optional<std::string>& headerText() const { return headerText_; }
    void setHeaderText(std::optional<std::string> text) { headerText_ = std::move(text); }
    const std::optional<std::string>& footerText() const { return footerText_; }
    void setFooterText(std::optional<std::string> text) { footerText_ = std::move(text); }
    const std::string& acknowledgementsPlistName() const { return plistName_; }
    void setAcknowledgementsPlistName(std::string name) { plistName_ = std::move(name); }

    void commonInitWithAcknowledgementsPlistPath(const std::optional<std::string>& path);
    void awakeFromStoryboard() override;

    virtual std::shared_ptr<UIFont> headerFooterFont();
    std::shared_ptr<UILabel> headerFooterLabelWithText(const std::string& text);
    CGFloat heightForLabelWithText(const std::string& text, CGFloat width);
    void configureHeaderView();
    void configureFooterView();
    // The generator's site in the in-app web screen, presented over this screen.
    void openGeneratorWebsite();
    void onMyWebControllerDone(MyWebController& web) override;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillTransitionToSize(CGSize size) override;

    std::size_t numberOfRowsInSection(UITableView&, std::size_t) override { return acknowledgements_.size(); }
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& table, NSIndexPath path) override;
    void didSelectRowAtIndexPath(UITableView& table, NSIndexPath path) override;
    std::string className() const override { return "AcknowledgementsViewController"; }

protected:
    explicit AcknowledgementsViewController(UITableViewStyle style = UITableViewStyle::Plain)
        : UITableViewController(style) {}

private:
    std::vector<std::shared_ptr<Acknowledgement>> acknowledgements_;
    std::optional<std::string> headerText_, footerText_;
    std::string plistName_;
};
