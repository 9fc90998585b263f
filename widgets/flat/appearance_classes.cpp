#include "widgets/flat/appearance_classes.h"

#include "platform/ui/bar/ui_bar_button_item.h"
#include "platform/ui/bar/ui_navigation_bar.h"
#include "platform/ui/bar/ui_tab_bar.h"
#include "platform/ui/bar/ui_tab_bar_item.h"
#include "platform/ui/bar/ui_toolbar.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/control/ui_page_control.h"
#include "platform/ui/control/ui_progress_view.h"
#include "platform/ui/control/ui_segmented_control.h"
#include "platform/ui/control/ui_slider.h"
#include "platform/ui/control/ui_stepper.h"
#include "platform/ui/control/ui_switch.h"
#include "platform/ui/controller/ui_image_picker_controller.h"
#include "platform/ui/input/ui_search_bar.h"
#include "platform/ui/input/ui_text_field.h"
#include "platform/ui/table/ui_table_view_cell.h"

namespace AppearanceClasses {
UIAppearanceClass barButtonItem() {
    return UIAppearanceClass::of<UIBarButtonItem>("UIBarButtonItem");
}
UIAppearanceClass button() {
    return UIAppearanceClass::of<UIButton>("UIButton");
}
UIAppearanceClass imagePickerController() {
    return UIAppearanceClass::of<UIImagePickerController>("UIImagePickerController");
}
UIAppearanceClass label() {
    return UIAppearanceClass::of<UILabel>("UILabel");
}
UIAppearanceClass navigationBar() {
    return UIAppearanceClass::of<UINavigationBar>("UINavigationBar");
}
UIAppearanceClass pageControl() {
    return UIAppearanceClass::of<UIPageControl>("UIPageControl");
}
UIAppearanceClass progressView() {
    return UIAppearanceClass::of<UIProgressView>("UIProgressView");
}
UIAppearanceClass searchBar() {
    return UIAppearanceClass::of<UISearchBar>("UISearchBar");
}
UIAppearanceClass segmentedControl() {
    return UIAppearanceClass::of<UISegmentedControl>("UISegmentedControl");
}
UIAppearanceClass slider() {
    return UIAppearanceClass::of<UISlider>("UISlider");
}
UIAppearanceClass stepper() {
    return UIAppearanceClass::of<UIStepper>("UIStepper");
}
UIAppearanceClass switchControl() {
    return UIAppearanceClass::of<UISwitch>("UISwitch");
}
UIAppearanceClass tabBar() {
    return UIAppearanceClass::of<UITabBar>("UITabBar");
}
UIAppearanceClass tabBarItem() {
    return UIAppearanceClass::of<UITabBarItem>("UITabBarItem");
}
UIAppearanceClass tableViewCell() {
    return UIAppearanceClass::of<UITableViewCell>("UITableViewCell");
}
UIAppearanceClass textField() {
    return UIAppearanceClass::of<UITextField>("UITextField");
}
UIAppearanceClass toolbar() {
    return UIAppearanceClass::of<UIToolbar>("UIToolbar");
}
UIAppearanceClass view() {
    return UIAppearanceClass::of<UIView>("UIView");
}
}  // namespace AppearanceClasses
