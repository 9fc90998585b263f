// CameraPopups: the pop-ups over the camera screen — the filter browser, the option and
// manual-control pop-ups and the side drawer — made on first use, with the screen's answers to
// their callbacks, and the screen's alerts (the camera assistant's permission dialogs among them).
//
// The pop-ups hold this host weakly as their delegate; it holds the screen weakly and works
// through the screen's public parts. Main-thread only, except the manual controls' questions for
// the queue and the device, which may come from the capture queue.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "camera/controls/pop_manual_view.h"
#include "camera/options/pop_option_view.h"
#include "capture/camera_assistant_delegate.h"
#include "editor/browser/filter_source.h"
#include "editor/browser/pop_filter_main_view.h"
#include "platform/runtime/object.h"
#include "ui/popup/pop_left_view.h"

class ViewController;

class CameraPopups : public NSObject,
                     public PopFilterMainViewDelegate,
                     public FilterAttrDelegate,
                     public PopOptionViewDelegate,
                     public PopManualViewDelegate,
                     public PopLeftViewDelegate,
                     public CameraAssistantPresenter {
public:
    // make(screen).
    KORVA_MAKE(CameraPopups)

    // --- The pop-ups, made on first use ---
    std::shared_ptr<PopFilterMainView> filter();
    std::shared_ptr<PopOptionView> option();
    std::shared_ptr<PopManualView> manual();
    std::shared_ptr<PopLeftView> left();
    const std::shared_ptr<PopFilterMainView>& filterIfMade() const { return filter_; }
    const std::shared_ptr<PopOptionView>& optionIfMade() const { return option_; }
    const std::shared_ptr<PopManualView>& manualIfMade() const { return manual_; }

    // --- The buttons that open them ---
    void onFilter(const std::shared_ptr<UIView>& sender);
    void onOption();
    void onManual(const std::shared_ptr<UIView>& sender);
    void onMenu(const std::shared_ptr<UIView>& sender);
    void hideFilter();
    void hideManual();
    // A new capture session runs: the manual controls the user holds come back on its device.
    void captureDidStart();
    // The shown pop-ups come back above the picture after it was placed anew.
    void bringShownToFront();

    // --- Filter browser ---
    std::shared_ptr<CIImage> onFilterSourceGetImage() override;
    std::shared_ptr<FilterContext> onFilterSourceGetContext() override;
    void onFilterAttrChanged(const std::shared_ptr<FilterElement>& element) override;
    void onFilterAttrBeforeInitialize(const std::string& filterName, const std::string& key,
                                      const Value& record) override;
    void onPopFilterMainViewFilterSelected(PopFilterMainView& pop,
                                           const std::shared_ptr<FilterPersistElement>& element) override;
    void onPopFilterMainViewDidShow(PopFilterMainView& pop) override;
    // --- Option pop-up: it has already written its setting ---
    void onPopOptionViewFlash(PopOptionView& sender) override;
    void onPopOptionViewSwap(PopOptionView& sender) override;
    void onPopOptionViewTimer(PopOptionView& sender) override;
    void onPopOptionViewGrid(PopOptionView& sender) override;
    void onPopOptionViewImageRatio(PopOptionView& sender) override;
    void onPopOptionViewShotMode(PopOptionView& sender) override;
    void onPopOptionViewWillHide(PopOptionView& sender) override;
    // --- Manual controls ---
    std::shared_ptr<DispatchQueue> onPopManualBaseGetQueue(PopManualBase& sender) override;
    std::shared_ptr<AVCaptureDevice> onPopManualBaseGetDevice(PopManualBase& sender) override;
    void onPopManualBaseChanged(PopManualBase& sender, bool manual) override;
    void onPopManualBaseDidHide(PopManualBase& sender) override;
    void onPopManualViewDidShow(PopManualView& sender) override;
    // --- Side drawer ---
    void onPopLeftViewDidShow(PopLeftView& pop) override;
    void onPopLeftViewWillHide(PopLeftView& pop) override;

    // --- Alerts on the screen ---
    void alert(const std::string& message, std::function<void()> onOK) override;
    void confirm(const std::string& message, std::function<void()> onYes, std::function<void()> onNo) override;
    void openDeviceSettings() override;

    std::string className() const override { return "CameraPopups"; }

protected:
    explicit CameraPopups(std::weak_ptr<ViewController> screen) : screen_(std::move(screen)) {}

private:
    std::shared_ptr<CameraPopups> me() { return self<CameraPopups>(); }
    std::shared_ptr<UIViewController> owner() const;

    std::weak_ptr<ViewController> screen_;
    std::shared_ptr<PopFilterMainView> filter_;
    std::shared_ptr<PopOptionView> option_;
    std::shared_ptr<PopManualView> manual_;
    std::shared_ptr<PopLeftView> left_;
};
