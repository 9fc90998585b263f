// A status button whose icon is a stroked vector path, and the stopwatch kind that shows a
// fraction as an arc round its dial. Main-thread only.
#pragma once

#include "ui/controls/status_button_base.h"

class CAShapeLayer;
class CGPath;

// The icon layers' look: a white one-point stroke, no fill.
std::shared_ptr<CAShapeLayer> makeIconStroke(const CGPath& path, CGPoint position);

class StatusButtonPath : public StatusButtonBase {
public:
    KORVA_MAKE(StatusButtonPath)
    void init() override;
    void setPath(const CGPath& path);

    const std::shared_ptr<UIView>& shape() const { return shape_; }
    const std::shared_ptr<CAShapeLayer>& clo() const { return clo_; }

    std::string className() const override { return "StatusButtonPath"; }

protected:
    StatusButtonPath(const CGPath& path, CGPoint position, CGSize size);

private:
    std::unique_ptr<CGPath> path_;
    CGPoint position_;
    CGSize size_;
    std::shared_ptr<UIView> shape_;
    std::shared_ptr<CAShapeLayer> clo_;
};

class StatusButtonTimer : public StatusButtonBase {
public:
    KORVA_MAKE(StatusButtonTimer)
    static constexpr CGFloat kRadius = 10;

    void init() override;
    // Redraws the dial: the 12-o'clock tick, and for a positive fraction an arc clockwise from
    // it (1 covers 342 degrees; larger values run further).
    void setPercent(double p);
    double percent() const { return percent_; }

    const std::shared_ptr<UIView>& shape() const { return shape_; }
    const std::shared_ptr<CAShapeLayer>& clo() const { return clo_; }

    std::string className() const override { return "StatusButtonTimer"; }

protected:
    using StatusButtonBase::StatusButtonBase;

private:
    double percent_ = 1;
    std::shared_ptr<UIView> shape_;
    std::shared_ptr<CAShapeLayer> clo_;
};
