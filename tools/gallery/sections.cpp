// The gallery's sections, one line each; a subject's section lives beside it in this folder.
#include "tools/gallery/gallery.h"

void galleryPlatformViews(GalleryPage& page);
void galleryForm(GalleryPage& page);
void galleryTableIndex(GalleryPage& page);

std::vector<GallerySection> gallerySections() {
    return {
        {"platform-views", "notched", galleryPlatformViews},
        {"form", "notched", galleryForm},
        {"form-tablet", "tablet", galleryForm},
        {"table-index", "notched", galleryTableIndex},
    };
}
