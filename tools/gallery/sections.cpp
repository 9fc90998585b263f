// The gallery's sections, one line each; a subject's section lives beside it in this folder.
#include "tools/gallery/gallery.h"

void galleryPlatformViews(GalleryPage& page);
void galleryButtons(GalleryPage& page);
void galleryFlatColours(GalleryPage& page);
void galleryThemedControls(GalleryPage& page);

std::vector<GallerySection> gallerySections() {
    return {
        {"platform-views", "notched", galleryPlatformViews},
        {"buttons", "notched", galleryButtons},
        {"flat-colours", "notched", galleryFlatColours},
        {"themed-controls", "notched", galleryThemedControls},
    };
}
