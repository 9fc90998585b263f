// Addr: the application's address book; it adds the remote string table request.
#pragma once

#include "language/addr_base.h"

class Addr : public AddrBase {
public:
    KORVA_MAKE(Addr)

    // GETs "/d/lang.korvas.html" on the download host with the application's name, version,
    // device language and platform ("ipad" or "iphone"), and hands the page's tagged JSON payload
    // to the completion on the main queue; null when any step yields nothing.
    void stringTable(std::function<void(Value)> completion) override;

    std::string className() const override { return "Addr"; }

protected:
    Addr() = default;
};
