// Font: the application's font catalogue, the catalogue of FontBase plus the filter menus' fonts
// and the table row sizes fixed when it is made. Global makes one on first access and drops it
// when the system text size changes or memory runs low. Main-thread only.
#pragma once

#include "ui/theme/font_base.h"

class Font : public FontBase {
public:
    KORVA_MAKE(Font)
    void init() override;

    // The text face at 15 points.
    std::shared_ptr<UIFont> filterMenuNormal();
    // The small fixed icon font of the catalogue Global holds: class 1 on a tablet, class 2 otherwise.
    std::shared_ptr<UIFont> filterItemNormal();
    void setFilterMenuNormal(std::shared_ptr<UIFont> f) { filterMenuNormal_ = std::move(f); }
    void setFilterItemNormal(std::shared_ptr<UIFont> f) { filterItemNormal_ = std::move(f); }

    // Row and detail-line sizes of tables: the body size and 0.8 of it, as read at creation.
    double sizeTable1() const { return sizeTable1_; }
    double sizeTable2() const { return sizeTable2_; }
    void setSizeTable1(double v) { sizeTable1_ = v; }
    void setSizeTable2(double v) { sizeTable2_ = v; }

    std::string className() const override { return "Font"; }

protected:
    Font() = default;

private:
    std::shared_ptr<UIFont> filterMenuNormal_;
    std::shared_ptr<UIFont> filterItemNormal_;
    double sizeTable1_ = 0;
    double sizeTable2_ = 0;
};
