// The default place of the photo library on a Linux desktop.
#pragma once

#include <string>

// "$XDG_PICTURES_DIR/Korva", with the pictures folder taken from the environment, else from the
// user-dirs file (~/.config/user-dirs.dirs), else ~/Pictures.
std::string defaultPhotoLibraryDirectory();
