// The input of an edit: where an asset's full-size photo is and how it is turned.
#pragma once

#include <string>

#include "platform/photos/ph_asset.h"

struct PHContentEditingInputRequestOptions {
    // The library is a local folder: there is nothing to download, so the flag changes nothing.
    bool networkAccessAllowed = false;
};

class PHContentEditingInput : public NSObject {
public:
    KORVA_MAKE(PHContentEditingInput)
    // A file:// URL of the photo in the library folder.
    const std::string& fullSizeImageURL() const { return url_; }
    // The stored EXIF orientation (1 to 8).
    int fullSizeImageOrientation() const { return orientation_; }
    std::string className() const override { return "PHContentEditingInput"; }

protected:
    PHContentEditingInput(std::string url, int orientation) : url_(std::move(url)), orientation_(orientation) {}

private:
    std::string url_;
    int orientation_;
};
