// What a photo editor screen takes from the screen that opens it, and what it reports back. The
// editor is made by its storyboard identifier "EditController", so the opener reaches it through
// this interface only.
#pragma once

#include <memory>

class PHAsset;
class UIViewController;

class EditControllerDelegate {
public:
    virtual ~EditControllerDelegate() = default;
    // The user closed the editor.
    virtual void onEditControllerDone(const std::shared_ptr<UIViewController>& editor) = 0;
};

// Implemented by the editor controller.
class AssetEditor {
public:
    virtual ~AssetEditor() = default;
    virtual void setDelegate(std::weak_ptr<EditControllerDelegate> delegate) = 0;
    // The photo to edit; none when the picked item has no library asset.
    virtual void setAsset(std::shared_ptr<PHAsset> asset) = 0;
};
