// The gallery's sections, one line each; a subject's section lives beside it in this folder.
#include "tools/gallery/gallery.h"

void galleryPlatformViews(GalleryPage& page);
void galleryCaptureMedia(GalleryPage& page);

std::vector<GallerySection> gallerySections() {
    return {
        {"platform-views", "notched", galleryPlatformViews},
        {"capture-media", "notched", galleryCaptureMedia},
    };
}
