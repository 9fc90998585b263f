// A browser address bar as one view. At rest it shows a centred title between a two-state text
// button on the left and a reload button on the right; a tap turns it into an address field,
// and return hands the typed text, made an address, to the delegate.
//
// States: Title (initial) -> tap on the title -> Input (keyboard up) -> return, or a tap beside
// the field, ends editing -> Title, its texts and buttons refreshed. Main thread only.
#pragma once

#include <memory>
#include <string>

#include "platform/ui/input/ui_text_field.h"
#include "platform/ui/view/ui_view.h"

class AnimButton;
class MySafariURLField;
class UIButton;
class UILabel;

class MySafariURLFieldDelegate {
public:
    virtual ~MySafariURLFieldDelegate() = default;
    virtual void onMySafariURLFieldRefresh(MySafariURLField& field) = 0;
    virtual void onMySafariURLFieldText(MySafariURLField& field, bool modeText) = 0;
    virtual void onMySafariURLFieldUrlUpdated(MySafariURLField& field, const std::string& url) = 0;
};

class MySafariURLField : public UIView, public UITextFieldDelegate {
public:
    KORVA_MAKE(MySafariURLField)
    static constexpr CGFloat kCornerRadius = 10;
    static constexpr CGFloat kFieldInset = 10;
    static constexpr CGFloat kButtonSide = 25;
    static constexpr CGFloat kButtonInset = 10;
    static constexpr CGFloat kTitleInset = 40;
    static constexpr CGSize kIconImageSize{50, 50};
    static constexpr std::uint16_t kIconRefresh = 0xF021;
    static constexpr std::uint16_t kIconText = 0xF039;

    void init() override;

    bool modeInput() const { return modeInput_; }
    bool hideRefreshButton() const { return hideRefreshButton_; }
    void setHideRefreshButton(bool hide);
    bool hideTextButton() const { return hideTextButton_; }
    void setHideTextButton(bool hide);
    bool modeText() const { return modeText_; }
    void setModeText(bool on);
    const std::string& textInput() const { return textInput_; }
    void setTextInput(std::string text);
    const std::string& textLabel() const { return textLabel_; }
    void setTextLabel(std::string text);
    std::shared_ptr<MySafariURLFieldDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<MySafariURLFieldDelegate>& d) { delegate_ = d; }

    void updateView();
    void updateDarkMode() {}
    // Ends the field's editing.
    bool resignFirstResponder();

    void onRefresh();
    void onText();
    void onTapNormal();
    void onTapInput();

    const std::shared_ptr<UIView>& viewInput() const { return viewInput_; }
    const std::shared_ptr<UIView>& viewNormal() const { return viewNormal_; }
    const std::shared_ptr<UITextField>& input() const { return input_; }
    const std::shared_ptr<UILabel>& lbl() const { return lbl_; }
    const std::shared_ptr<UIButton>& btnRefresh() const { return btnRefresh_; }
    const std::shared_ptr<AnimButton>& btnText() const { return btnText_; }

    void textFieldDidEndEditing(UITextField& field) override;
    bool textFieldShouldClear(UITextField& field) override;
    bool textFieldShouldReturn(UITextField& field) override;

    std::string className() const override { return "MySafariURLField"; }

protected:
    explicit MySafariURLField(CGRect frame = CGRectZero) : UIView(frame) {}

private:
    void buildInputLayer();
    void buildTitleLayer();

    bool modeInput_ = false;
    bool hideRefreshButton_ = false;
    bool hideTextButton_ = false;
    bool modeText_ = false;
    std::weak_ptr<MySafariURLFieldDelegate> delegate_;
    std::string textInput_, textLabel_;
    std::shared_ptr<UIView> viewInput_, viewNormal_;
    std::shared_ptr<UITextField> input_;
    std::shared_ptr<UILabel> lbl_;
    std::shared_ptr<UIButton> btnRefresh_;
    std::shared_ptr<AnimButton> btnText_;
};
