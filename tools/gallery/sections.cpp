// The gallery's sections, one line each; a subject's section lives beside it in this folder.
#include "tools/gallery/gallery.h"

void galleryPlatformViews(GalleryPage& page);
void galleryAttributedLabel(GalleryPage& page);
void galleryButtons(GalleryPage& page);

std::vector<GallerySection> gallerySections() {
    return {
        {"platform-views", "notched", galleryPlatformViews},
        {"attributed-label", "notched", galleryAttributedLabel},
        {"buttons", "notched", galleryButtons},
    };
}
