// The platform classes the themes write appearance values for.
#pragma once

#include "platform/ui/view/ui_appearance.h"

namespace AppearanceClasses {
UIAppearanceClass barButtonItem();
UIAppearanceClass button();
UIAppearanceClass imagePickerController();
UIAppearanceClass label();
UIAppearanceClass navigationBar();
UIAppearanceClass pageControl();
UIAppearanceClass progressView();
UIAppearanceClass searchBar();
UIAppearanceClass segmentedControl();
UIAppearanceClass slider();
UIAppearanceClass stepper();
UIAppearanceClass switchControl();
UIAppearanceClass tabBar();
UIAppearanceClass tabBarItem();
UIAppearanceClass tableViewCell();
UIAppearanceClass textField();
UIAppearanceClass toolbar();
UIAppearanceClass view();
}  // namespace AppearanceClasses
