// The platform's own views: the sample tree the host tests use.
#include "tests/platform/host/sample_view_tree.h"
#include "tools/gallery/gallery.h"

void galleryPlatformViews(GalleryPage& page) {
    buildSampleViewTree(page.newWindow());
    page.shotScreen("sample-tree");
}
