// The gallery's sections, one line each; a subject's section lives beside it in this folder.
#include "app/shell/root_controller.h"
#include "platform/ui/view/ui_appearance.h"
#include "tools/gallery/gallery.h"

void galleryPlatformViews(GalleryPage& page);
void galleryRichLabel(GalleryPage& page);
void galleryButtons(GalleryPage& page);
void galleryIndicators(GalleryPage& page);
void galleryRing(GalleryPage& page);
void galleryScrollLabels(GalleryPage& page);
void galleryToasts(GalleryPage& page);
void galleryUIFonts(GalleryPage& page);
void galleryUIPalette(GalleryPage& page);
void galleryUIBadges(GalleryPage& page);
void galleryUIStyling(GalleryPage& page);
void galleryUISwap(GalleryPage& page);
void galleryUIDialogs(GalleryPage& page);
void galleryUIDialogsTablet(GalleryPage& page);
void galleryFlatColours(GalleryPage& page);
void galleryThemedControls(GalleryPage& page);
void galleryCaptureMedia(GalleryPage& page);
void galleryForm(GalleryPage& page);
void galleryAppShell(GalleryPage& page);
void galleryTableIndex(GalleryPage& page);
void galleryIndicators(GalleryPage& page);
void galleryRing(GalleryPage& page);
void galleryScrollLabels(GalleryPage& page);
void galleryToasts(GalleryPage& page);
void galleryPopups(GalleryPage& page);
void galleryPopupsLandscape(GalleryPage& page);
void galleryPopupsTablet(GalleryPage& page);
void galleryControls(GalleryPage& page);
void galleryEditorAdjust(GalleryPage& page);
void galleryFilterBrowser(GalleryPage& page);
void galleryCameraControls(GalleryPage& page);
void galleryEditorColor(GalleryPage& page);
void gallerySettingsRows(GalleryPage& page);
void gallerySideMenu(GalleryPage& page);
void galleryWebSideBar(GalleryPage& page);
void galleryWebPopupTablet(GalleryPage& page);
void galleryEditorPlane(GalleryPage& page);
void galleryCameraScreen(GalleryPage& page);
void galleryPhotoEditor(GalleryPage& page);
void galleryImagePicker(GalleryPage& page);

// The program's own screens, under the bar and control styles its root installs, whatever section
// ran before.
std::function<void(GalleryPage&)> inProgramStyles(void (*render)(GalleryPage&)) {
    return [render](GalleryPage& page) {
        RootController::installAppearance();
        render(page);
        UIAppearance::reset();
    };
}

std::vector<GallerySection> gallerySections() {
    return {
        {"platform-views", "notched", galleryPlatformViews},
        {"rich-label", "notched", galleryRichLabel},
        {"buttons", "notched", galleryButtons},
        {"indicators", "notched", galleryIndicators},
        {"progress-ring", "notched", galleryRing},
        {"scroll-labels", "notched", galleryScrollLabels},
        {"toasts", "notched", galleryToasts},
        {"ui-fonts", "notched", galleryUIFonts},
        {"ui-palette", "notched", galleryUIPalette},
        {"ui-badges", "notched", galleryUIBadges},
        {"ui-styling", "notched", galleryUIStyling},
        {"ui-swap", "notched", galleryUISwap},
        {"ui-dialogs", "notched", galleryUIDialogs},
        {"ui-dialogs-tablet", "tablet", galleryUIDialogsTablet},
        {"flat-colours", "notched", galleryFlatColours},
        {"themed-controls", "notched", galleryThemedControls},
        {"capture-media", "notched", galleryCaptureMedia},
        {"form", "notched", galleryForm},
        {"form-tablet", "tablet", galleryForm},
        {"app-shell", "notched", galleryAppShell},
        {"table-index", "notched", galleryTableIndex},
        {"indicators", "notched", galleryIndicators},
        {"progress-ring", "notched", galleryRing},
        {"scroll-labels", "notched", galleryScrollLabels},
        {"toasts", "notched", galleryToasts},
        {"popups", "notched", galleryPopups},
        {"popups-landscape", "notched:landscape", galleryPopupsLandscape},
        {"popups-tablet", "tablet", galleryPopupsTablet},
        {"controls", "notched", galleryControls},
        {"editor-adjust", "notched", galleryEditorAdjust},
        {"filter-browser", "notched", inProgramStyles(galleryFilterBrowser)},
        {"camera-controls", "notched", galleryCameraControls},
        {"editor-color", "notched", galleryEditorColor},
        {"settings-rows", "notched", inProgramStyles(gallerySettingsRows)},
        {"settings-rows-tablet", "tablet", inProgramStyles(gallerySettingsRows)},
        {"side-menu", "notched", gallerySideMenu},
        {"web-sidebar", "notched", galleryWebSideBar},
        {"web-sidebar-tablet", "tablet", galleryWebPopupTablet},
        {"editor-plane", "notched", galleryEditorPlane},
        {"camera-screen", "notched", inProgramStyles(galleryCameraScreen)},
        {"photo-editor", "notched", inProgramStyles(galleryPhotoEditor)},
        {"image-picker", "notched", inProgramStyles(galleryImagePicker)},
        {"image-picker-tablet", "tablet", inProgramStyles(galleryImagePicker)},
        {"image-picker-landscape", "notched:landscape", inProgramStyles(galleryImagePicker)},
    };
}
