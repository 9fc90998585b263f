// The image picker: the photo library's images (and videos, when movies are asked for) in a grid
// of thumbnails, newest first, under "Photos" with "Cancel" on the bar; or the host's camera, its
// live view with "Cancel" and "Take Photo", when a camera is listed. The delegate gets the picked
// image with its reference URL, the photo taken, or hears of the cancel. While it is shown, the
// library's changes (its own saves and what other programs do to its folder) add, remove and
// redraw the grid's cells. Main thread only.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/photos/ph_photo_library.h"
#include "platform/runtime/value.h"
#include "platform/ui/controller/ui_navigation_controller.h"

class PHAsset;
class PHFetchResult;
class UIActivityIndicatorView;
class UIImage;

enum class UIImagePickerControllerSourceType { PhotoLibrary = 0, Camera = 1, SavedPhotosAlbum = 2 };

// Keys of the info dictionary.
inline constexpr const char* UIImagePickerControllerMediaType = "UIImagePickerControllerMediaType";
inline constexpr const char* UIImagePickerControllerOriginalImage = "UIImagePickerControllerOriginalImage";
inline constexpr const char* UIImagePickerControllerReferenceURL = "UIImagePickerControllerReferenceURL";
inline constexpr const char* UIImagePickerControllerPHAsset = "UIImagePickerControllerPHAsset";
inline constexpr const char* UIImagePickerControllerMediaURL = "UIImagePickerControllerMediaURL";
inline constexpr const char* kUTTypeImage = "public.image";
inline constexpr const char* kUTTypeMovie = "public.movie";

// The reference URL of a library asset, and the asset identifier it names (none for another URL).
std::string imagePickerReferenceURL(const std::string& localIdentifier);
std::optional<std::string> assetIdentifierFromReferenceURL(const std::string& url);

class UIImagePickerController;

class UIImagePickerControllerDelegate {
public:
    virtual ~UIImagePickerControllerDelegate() = default;
    virtual void didFinishPickingMediaWithInfo(UIImagePickerController&, const ValueDictionary& /*info*/) {}
    virtual void imagePickerControllerDidCancel(UIImagePickerController&) {}
};

class UIImagePickerController : public UINavigationController, public PHPhotoLibraryChangeObserver {
public:
    KORVA_MAKE(UIImagePickerController)
    void init() override;

    // What a pick of a photo whose file has gone says, over the picker, and of one whose file is
    // there but cannot be read or decoded (cut short, not a picture, not readable by the user).
    static constexpr const char* kPhotoGone = "UNABLE TO OPEN. THE PHOTO IS NO LONGER IN THE LIBRARY";
    static constexpr const char* kPhotoUnreadable = "UNABLE TO OPEN. THE PHOTO CANNOT BE READ";

    // The camera is available while the host lists one (see CaptureDeviceRegistry).
    static bool isSourceTypeAvailable(UIImagePickerControllerSourceType type);

    UIImagePickerControllerSourceType sourceType() const { return source_; }
    // An unavailable source is refused (false) and the old one kept.
    bool setSourceType(UIImagePickerControllerSourceType type);
    const std::vector<std::string>& mediaTypes() const { return mediaTypes_; }
    // Set before the picker is shown: the assets are fetched again.
    void setMediaTypes(std::vector<std::string> t) {
        mediaTypes_ = std::move(t);
        fetched_ = false;
        fetch_ = nullptr;
        assets_.clear();
    }
    bool allowsEditing() const { return allowsEditing_; }
    void setAllowsEditing(bool a) { allowsEditing_ = a; }
    std::shared_ptr<UIImagePickerControllerDelegate> pickerDelegate() const { return pickerDelegate_.lock(); }
    void setPickerDelegate(const std::shared_ptr<UIImagePickerControllerDelegate>& d) { pickerDelegate_ = d; }

    // The library assets offered, newest first (fetched when first asked for).
    const std::vector<std::shared_ptr<PHAsset>>& assets();
    // Picks a library asset. An image is loaded off the main thread, then the delegate hears of it
    // with the image, its reference URL and the asset; an image that cannot be read or decoded is
    // not picked, an alert says so and the picker stays open. A video hands over its file URL. An
    // asset whose file has gone (the library has not heard yet) is not picked: an alert says so. False
    // for an index out of range, while a pick is loading, after the picker finished, for the
    // camera, or for a file that has gone.
    bool pickAssetAtIndex(std::size_t index);
    // Camera source: takes a photo with the running camera; the delegate gets it once it is taken.
    // False while the camera is not running or a photo is being taken, after the picker finished,
    // or for the library.
    bool takePicture();
    // The camera screen's photo: handed to the delegate (once).
    void didTakePicture(std::shared_ptr<UIImage> image);
    // Without a delegate the picker dismisses itself.
    void cancel();
    // Whether a picked photo is being read and decoded; the busy indicator shows meanwhile.
    bool isPicking() const { return picking_; }
    const std::shared_ptr<UIActivityIndicatorView>& busyIndicator() const { return busy_; }

    void viewWillAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    void photoLibraryDidChange(const std::shared_ptr<PHChange>& change) override;

    std::string className() const override { return "UIImagePickerController"; }

protected:
    UIImagePickerController() = default;

private:
    // Shows why a photo cannot be opened (kPhotoGone or kPhotoUnreadable), once while it is up.
    void sayCannotOpen(const char* why);
    void deliver(const ValueDictionary& info);
    void setPicking(bool picking);
    void finishPick(const std::shared_ptr<PHAsset>& asset, const std::shared_ptr<UIImage>& image);
    void showSourceScreen();
    UIImagePickerControllerSourceType source_ = UIImagePickerControllerSourceType::PhotoLibrary;
    std::vector<std::string> mediaTypes_{kUTTypeImage};
    bool allowsEditing_ = false;
    std::weak_ptr<UIImagePickerControllerDelegate> pickerDelegate_;
    std::vector<std::shared_ptr<PHAsset>> assets_;
    std::shared_ptr<PHFetchResult> fetch_;  // what assets_ came from, measured against each change
    std::weak_ptr<PHPhotoLibrary> observed_;
    bool fetched_ = false;
    bool finished_ = false;
    bool picking_ = false;
    std::shared_ptr<UIActivityIndicatorView> busy_;
};
