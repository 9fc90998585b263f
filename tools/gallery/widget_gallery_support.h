// What the widget sections share: a loaded controller's view filling a fresh window (the widgets
// that look for their controller need one), and a photograph-like backdrop.
#pragma once

#include <memory>

#include "platform/ui/view/ui_view.h"
#include "tools/gallery/gallery.h"

// A fresh window whose root is a loaded controller's view with the colour given.
std::shared_ptr<UIView> galleryControllerRoot(GalleryPage& page, std::shared_ptr<UIColor> background);
// A sky-to-ground gradient with a sun and hills, for effects that show what lies beneath.
std::shared_ptr<UIView> galleryPhotoBackdrop(CGRect frame);
