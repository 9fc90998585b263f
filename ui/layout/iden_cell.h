// IdenCell: a collection cell that carries an identifier for its owner's use.
#pragma once

#include <optional>
#include <string>

#include "platform/ui/table/ui_collection_view.h"

class IdenCell : public UICollectionViewCell {
public:
    KORVA_MAKE(IdenCell)
    const std::optional<std::string>& identifier() const { return identifier_; }
    void setIdentifier(std::optional<std::string> identifier) { identifier_ = std::move(identifier); }
    std::string className() const override { return "IdenCell"; }

protected:
    IdenCell() = default;

private:
    std::optional<std::string> identifier_;
};
