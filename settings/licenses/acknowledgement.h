// One credited component: its title, its licence text and the licence's name.
#pragma once

#include <string>

#include "platform/runtime/object.h"

class Acknowledgement : public NSObject {
public:
    KORVA_MAKE(Acknowledgement)
    const std::string& title() const { return title_; }
    const std::string& text() const { return text_; }
    const std::string& license() const { return license_; }
    void setTitle(std::string title) { title_ = std::move(title); }
    void setText(std::string text) { text_ = std::move(text); }
    void setLicense(std::string license) { license_ = std::move(license); }
    std::string className() const override { return "Acknowledgement"; }

protected:
    Acknowledgement(std::string title, std::string text, std::string license)
        : title_(std::move(title)), text_(std::move(text)), license_(std::move(license)) {}

private:
    std::string title_, text_, license_;
};
