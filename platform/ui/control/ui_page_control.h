// A row of dots, one per page, with the current page marked; a tap beside the current dot moves
// one page that way.
#pragma once

#include "platform/ui/control/ui_control.h"

class UIPageControl : public UIControl {
public:
    KORVA_MAKE(UIPageControl)
    long numberOfPages() const { return pages_; }
    // Negative counts are taken as 0; the current page is kept within the pages.
    void setNumberOfPages(long n);
    long currentPage() const { return current_; }
    void setCurrentPage(long page);
    bool hidesForSinglePage() const { return hidesForSinglePage_; }
    void setHidesForSinglePage(bool h);
    std::shared_ptr<UIColor> pageIndicatorTintColor() const { return dotTint_; }
    void setPageIndicatorTintColor(std::shared_ptr<UIColor> c);
    std::shared_ptr<UIColor> currentPageIndicatorTintColor() const { return currentTint_; }
    void setCurrentPageIndicatorTintColor(std::shared_ptr<UIColor> c);

    CGSize sizeForNumberOfPages(long pages) const;
    void endTrackingWithTouch(const UITouch* touch, const UIEvent* event) override;
    CGSize intrinsicContentSize() const override { return sizeForNumberOfPages(pages_); }
    CGSize sizeThatFits(CGSize) const override { return sizeForNumberOfPages(pages_); }
    void drawRect(CGRect rect) override;
    std::string className() const override { return "UIPageControl"; }

protected:
    explicit UIPageControl(CGRect frame = CGRectZero) : UIControl(frame) {}

private:
    void updateVisibility();
    long pages_ = 0;
    long current_ = 0;
    bool hidesForSinglePage_ = false;
    std::shared_ptr<UIColor> dotTint_, currentTint_;
};
