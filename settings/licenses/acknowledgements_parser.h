// Reads an acknowledgements list file: a property list whose "PreferenceSpecifiers" array holds
// the entries ("Title", "FooterText", "License"), with the first element's text as the header and
// the last one's as the footer when there are two or more. A missing or malformed file gives no
// entries (with a log line).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "settings/licenses/acknowledgement.h"

class AcknowledgementsParser : public NSObject {
public:
    KORVA_MAKE(AcknowledgementsParser)
    void init() override;

    const std::string& header() const { return header_; }
    const std::string& footer() const { return footer_; }
    const std::vector<std::shared_ptr<Acknowledgement>>& acknowledgements() const { return acknowledgements_; }

    // A single line break between two characters, with the blanks around it, becomes one space;
    // an empty line between paragraphs stays.
    static std::string stringByFilteringOutPrematureLineBreaksFromString(std::string_view text);
    std::string className() const override { return "AcknowledgementsParser"; }

protected:
    explicit AcknowledgementsParser(std::string path) : path_(std::move(path)) {}

private:
    std::string path_;
    std::string header_, footer_;
    std::vector<std::shared_ptr<Acknowledgement>> acknowledgements_;
};
