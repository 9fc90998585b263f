// The parts of the application shell's gallery section, each drawn on the section's page.
#pragma once

class GalleryPage;

// A screen's HUD, tip and message, the fly-in mid-way and the custom tab container.
void galleryAppShellScreens(GalleryPage& page);
// Each step of a screen's tutorial.
void galleryAppShellTutorial(GalleryPage& page);
// The promotion pop-up filled from a local page and picture.
void galleryAppShellPromotion(GalleryPage& page);
