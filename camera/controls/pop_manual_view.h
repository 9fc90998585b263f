// The "MANUAL CONTROL" pop-up: a one-line menu of focus, exposure and white balance, each opening
// its control pop-up (or "NOT SUPPORTED") just above the tapped entry, over the menu's own title
// bar, which gives way while one is open (it would show through the translucent pop-up). It
// relays its controls' questions to the host and tells the host when the user's manual control as
// a whole changes. Main-thread only.
#pragma once

#include "camera/controls/pop_manual_exp_view.h"
#include "camera/controls/pop_manual_focus_view.h"
#include "camera/controls/pop_manual_invalid_view.h"
#include "camera/controls/pop_manual_wb_view.h"
#include "ui/controls/menu_label_view.h"

class PopManualView;

class PopManualViewDelegate : public PopManualBaseDelegate {
public:
    virtual void onPopManualViewDidShow(PopManualView& sender) = 0;
};

class PopManualView : public PopManualBase,
                      public MenuLabelViewDelegate,
                      public PopManualFocusViewDelegate,
                      public PopManualExpViewDelegate,
                      public PopManualWBViewDelegate,
                      public PopManualInvalidViewDelegate {
public:
    KORVA_MAKE(PopManualView)
    static constexpr CGFloat kHeight = 95;
    // The icon glyph that marks a control held by hand.
    static constexpr std::uint16_t kManualGlyph = 0xF023;

    void init() override;

    void show(const std::shared_ptr<NSObject>& sender, Callback completion);
    void hide(Callback completion) override;
    using PopManualBase::show;
    void updateData();

    bool isUserManual() const override;
    bool isManualSupported() override;
    void setAuto() override;
    void resetTimer() override;
    void updateAllAuto();

    void setDelegate(const std::shared_ptr<PopManualViewDelegate>& d);
    std::shared_ptr<PopManualViewDelegate> delegate() const { return delegate_.lock(); }
    std::shared_ptr<PopManualBaseDelegate> baseDelegate() const override { return delegate(); }

    const std::shared_ptr<PopManualFocusView>& popFocus();
    const std::shared_ptr<PopManualExpView>& popExp();
    const std::shared_ptr<PopManualWBView>& popWB();
    const std::shared_ptr<PopManualInvalidView>& popInvalid();
    const std::shared_ptr<MenuLabelView>& menu();
    bool lastManual() const { return lastManual_; }

    // MenuLabelViewDelegate
    std::vector<std::string> onMenuLabelViewGetArray(MenuLabelView& menu) override;
    void onMenuLabelViewLabelTap(MenuLabelView& menu, long index, UIButton& sender) override;

    // The questions of the four pop-ups it opens, each asked through that pop-up's own kind of
    // delegate and answered alike
    std::shared_ptr<DispatchQueue> onPopManualBaseGetQueue(PopManualBase& sender) override;
    std::shared_ptr<AVCaptureDevice> onPopManualBaseGetDevice(PopManualBase& sender) override;
    void onPopManualBaseChanged(PopManualBase& sender, bool manual) override;
    void onPopManualBaseDidHide(PopManualBase& sender) override;

    std::string className() const override { return "PopManualView"; }

protected:
    using PopManualBase::PopManualBase;

private:
    // The title bar shows only while none of the menu's pop-ups is open over it.
    void updateTitleBar();

    bool lastManual_ = false;
    std::weak_ptr<PopManualViewDelegate> delegate_;
    std::shared_ptr<PopManualFocusView> popFocus_;
    std::shared_ptr<PopManualExpView> popExp_;
    std::shared_ptr<PopManualWBView> popWB_;
    std::shared_ptr<PopManualInvalidView> popInvalid_;
    std::shared_ptr<MenuLabelView> menu_;
};
