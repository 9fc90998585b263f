// The picker: one or more spinning columns of rows with a selection band in the middle. Rows
// come from the data source and titles from the delegate, which hears the user's choices.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/gesture/ui_touch.h"
#include "platform/ui/view/ui_view.h"

class UIPickerView;

class UIPickerViewDataSource {
public:
    virtual ~UIPickerViewDataSource() = default;
    virtual std::size_t numberOfComponentsInPickerView(UIPickerView&) = 0;
    virtual std::size_t numberOfRowsInComponent(UIPickerView&, std::size_t component) = 0;
};

class UIPickerViewDelegate {
public:
    virtual ~UIPickerViewDelegate() = default;
    virtual std::string titleForRow(UIPickerView&, std::size_t /*row*/, std::size_t /*component*/) { return "?"; }
    // 0: share the width equally.
    virtual CGFloat widthForComponent(UIPickerView&, std::size_t) { return 0; }
    virtual CGFloat rowHeightForComponent(UIPickerView&, std::size_t) { return 32; }
    virtual void didSelectRow(UIPickerView&, std::size_t /*row*/, std::size_t /*component*/) {}
};

class UIPickerView : public UIView, public UITouchReceiver {
public:
    KORVA_MAKE(UIPickerView)
    void init() override;
    static constexpr CGFloat kHeight = 216;

    std::shared_ptr<UIPickerViewDataSource> dataSource() const { return dataSource_.lock(); }
    void setDataSource(const std::shared_ptr<UIPickerViewDataSource>& d) {
        dataSource_ = d;
        reloadAllComponents();
    }
    std::shared_ptr<UIPickerViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<UIPickerViewDelegate>& d) {
        delegate_ = d;
        setNeedsDisplay();
    }

    std::size_t numberOfComponents() const { return rows_.size(); }
    std::size_t numberOfRowsInComponent(std::size_t component) const;
    // The selected row, or -1 for a component that has no rows (or does not exist).
    long selectedRowInComponent(std::size_t component) const;
    // Programmatic: the delegate is not told. Rows past the end are clamped to the last one.
    void selectRow(std::size_t row, std::size_t component, bool animated);
    void reloadAllComponents();
    void reloadComponent(std::size_t component);

    // A user's spin of a column to a row: selects it and tells the delegate.
    bool spinToRow(std::size_t row, std::size_t component);
    // The column under an x position, or -1.
    long componentAtX(CGFloat x) const;

    void touchesEnded(const UITouchSet& touches, const UIEvent& event) override;
    bool takesTouchesBeforeAncestorRecognizers() const override { return true; }
    CGSize sizeThatFits(CGSize size) const override { return {size.width, kHeight}; }
    void drawRect(CGRect rect) override;
    std::string className() const override { return "UIPickerView"; }

protected:
    explicit UIPickerView(CGRect frame = CGRectZero) : UIView(frame) {}

private:
    std::vector<CGRect> columns() const;
    CGFloat rowHeight(std::size_t component) const;

    std::weak_ptr<UIPickerViewDataSource> dataSource_;
    std::weak_ptr<UIPickerViewDelegate> delegate_;
    std::vector<std::size_t> rows_;
    std::vector<std::size_t> selected_;
};
