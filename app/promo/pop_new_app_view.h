// The promotion pop-up: at most once a day it asks the maker's download server for the promoted
// apps, chooses the first that is neither installed nor declined, and, once the server's minimum
// age and number of fetches are reached, offers it over the content switcher with three answers:
// open its store page, remind later, or decline for good.
//
// States: Idle -> Loading (a fetch in flight; a second test answers no at once) -> Idle. Every
// reply, good or bad, notes the fetch, so the next one comes a day later. Main thread only; the
// picture downloads on its own serial queue.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/promo/new_app_store.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/timer_slots.h"
#include "ui/popup/pop_centered_view.h"

class IconButton;
class NSAttributedString;
class NSError;
class UIImageView;
class UILabel;

class PopNewAppView : public PopCenteredView {
public:
    KORVA_MAKE(PopNewAppView)

    // The page on the download host that lists the promoted apps.
    static constexpr const char* kPagePath = "/d/newapp.php";
    static constexpr double kTick = 1.0;

    void init() override;

    // Answers, exactly once and on the main queue, whether the pop-up should show now.
    void testAvailable(std::function<void(bool)> completion);
    bool loading() const { return loading_; }

    // Shows the chosen app over the view.
    void show(const std::shared_ptr<UIView>& view);
    using PopCenteredView::show;
    void updateView();
    void updateDarkMode() override;
    void save() { store().save(); }
    void hideInternal() {
        hide([] {});
    }

    void onYes();
    void onRemind();
    void onNoThanks();

    NewAppStore& store();
    const Value& dict() { return store().dict(); }
    const Value& denied() { return store().denied(); }
    std::int32_t ts() const { return ts_; }
    const std::shared_ptr<NSAttributedString>& attributedText() const { return attributedText_; }
    const std::shared_ptr<UIView>& bg0() const { return bg0_; }
    const std::shared_ptr<UIImageView>& iv() const { return iv_; }
    const std::shared_ptr<UILabel>& info() const { return info_; }
    const std::shared_ptr<IconButton>& btnYes() const { return btnYes_; }
    const std::shared_ptr<IconButton>& btnRemind() const { return btnRemind_; }
    const std::shared_ptr<IconButton>& btnNoThanks() const { return btnNoThanks_; }

    std::string className() const override { return "PopNewAppView"; }

protected:
    explicit PopNewAppView(std::shared_ptr<UIViewController> vc) : PopCenteredView(std::move(vc)) {}

private:
    void buildContent();
    // The payload is read off the main queue; the choice is made back on it.
    void received(const std::optional<Bytes>& data, const std::shared_ptr<NSError>& error,
                  const std::function<void(bool)>& completion);
    void receivedPayload(const std::optional<std::string>& payload, const std::shared_ptr<NSError>& error,
                         const std::function<void(bool)>& completion);
    std::string requestAddress() const;
    void loadPicture();
    // The "Remind me later" countdown; `show` sets no time, so it never runs.
    void restartTimerTimeout();
    void resetTimerTimeout() { timerTimeout_.reset(); }
    void onTimerTimeout();

    bool loading_ = false;
    std::int32_t ts_ = 0;
    std::unique_ptr<NewAppStore> store_;
    dispatch_queue_t qImage_;
    std::shared_ptr<NSAttributedString> attributedText_;
    OneShotTimer timerTimeout_;
    std::shared_ptr<UIView> bg0_;
    std::shared_ptr<UIImageView> iv_;
    std::shared_ptr<UILabel> info_;
    std::shared_ptr<IconButton> btnYes_, btnRemind_, btnNoThanks_;
};
