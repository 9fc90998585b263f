// What the appearance registry sets on a view when it first joins a window. Each value goes only
// where the view has none of its own, so a value set on the instance wins. Properties the
// platform's views cannot show (bar shadow images, search-bar background images, title-text
// fonts of items and segments, label colours and fonts) stay recorded in the registry only.
#include "platform/ui/bar/ui_navigation_bar.h"
#include "platform/ui/bar/ui_tab_bar.h"
#include "platform/ui/bar/ui_toolbar.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_page_control.h"
#include "platform/ui/control/ui_progress_view.h"
#include "platform/ui/control/ui_slider.h"
#include "platform/ui/control/ui_switch.h"
#include "platform/ui/input/ui_search_bar.h"
#include "platform/ui/text/attributed_string.h"
#include "platform/ui/view/ui_appearance.h"
#include "platform/ui/view/ui_view.h"

namespace {
namespace P = UIAppearanceProperty;

std::shared_ptr<UIColor> colorOf(const ValueDictionary& values, const std::string& key) {
    return values.get(key).objectAs<UIColor>();
}

// Sets the colour when the view has none and the registry has one.
template <class View>
void fill(View& view, const ValueDictionary& values, const char* key, std::shared_ptr<UIColor> (View::*get)() const,
          void (View::*set)(std::shared_ptr<UIColor>)) {
    if ((view.*get)()) return;
    if (auto c = colorOf(values, key)) (view.*set)(c);
}

void applyNavigationBar(UINavigationBar& bar, const ValueDictionary& values) {
    fill(bar, values, P::barTintColor, &UINavigationBar::barTintColor, &UINavigationBar::setBarTintColor);
    const ValueDictionary* attributes = values.get(P::titleTextAttributes).dictionaryPtr();
    if (!attributes) return;
    UINavigationBarAppearance look = bar.standardAppearance();
    if (!look.titleColor) look.titleColor = attributes->get(NSForegroundColorAttributeName).objectAs<UIColor>();
    if (!look.titleFont) look.titleFont = attributes->get(NSFontAttributeName).objectAs<UIFont>();
    bar.setStandardAppearance(look);
}

void applyControls(UIView& view, const ValueDictionary& values) {
    if (auto* bar = dynamic_cast<UINavigationBar*>(&view)) return applyNavigationBar(*bar, values);
    if (auto* bar = dynamic_cast<UIToolbar*>(&view))
        return fill(*bar, values, P::barTintColor, &UIToolbar::barTintColor, &UIToolbar::setBarTintColor);
    if (auto* bar = dynamic_cast<UITabBar*>(&view))
        return fill(*bar, values, P::barTintColor, &UITabBar::barTintColor, &UITabBar::setBarTintColor);
    if (auto* bar = dynamic_cast<UISearchBar*>(&view))
        return fill(*bar, values, P::barTintColor, &UISearchBar::barTintColor, &UISearchBar::setBarTintColor);
    if (auto* slider = dynamic_cast<UISlider*>(&view)) {
        fill(*slider, values, P::minimumTrackTintColor, &UISlider::minimumTrackTintColor,
             &UISlider::setMinimumTrackTintColor);
        fill(*slider, values, P::maximumTrackTintColor, &UISlider::maximumTrackTintColor,
             &UISlider::setMaximumTrackTintColor);
        fill(*slider, values, P::thumbTintColor, &UISlider::thumbTintColor, &UISlider::setThumbTintColor);
        return;
    }
    if (auto* toggle = dynamic_cast<UISwitch*>(&view))
        return fill(*toggle, values, P::onTintColor, &UISwitch::onTintColor, &UISwitch::setOnTintColor);
    if (auto* progress = dynamic_cast<UIProgressView*>(&view)) {
        fill(*progress, values, P::progressTintColor, &UIProgressView::progressTintColor,
             &UIProgressView::setProgressTintColor);
        fill(*progress, values, P::trackTintColor, &UIProgressView::trackTintColor, &UIProgressView::setTrackTintColor);
        return;
    }
    if (auto* dots = dynamic_cast<UIPageControl*>(&view)) {
        fill(*dots, values, P::pageIndicatorTintColor, &UIPageControl::pageIndicatorTintColor,
             &UIPageControl::setPageIndicatorTintColor);
        fill(*dots, values, P::currentPageIndicatorTintColor, &UIPageControl::currentPageIndicatorTintColor,
             &UIPageControl::setCurrentPageIndicatorTintColor);
        return;
    }
    if (auto* button = dynamic_cast<UIButton*>(&view)) {
        const std::string shadowKey = P::forState("titleShadowColor", UIControlStateNormal);
        if (!button->titleShadowColorForState(UIControlStateNormal))
            if (auto c = colorOf(values, shadowKey)) button->setTitleShadowColor(c, UIControlStateNormal);
    }
}
}  // namespace

void UIView::applyAppearance() {
    ValueDictionary values = UIAppearance::valuesForView(*this);
    if (values.empty()) return;
    if (!tintColor_)
        if (auto c = colorOf(values, P::tintColor)) setTintColor(c);
    if (!backgroundColor_)
        if (auto c = colorOf(values, P::backgroundColor)) setBackgroundColor(c);
    if (values.contains(P::clipsToBounds)) setClipsToBounds(values.get(P::clipsToBounds).boolValue());
    applyControls(*this, values);
    for (const auto& [key, value] : values)
        if (auto invocation = value.objectAs<UIAppearanceInvocation>()) invocation->applyTo(*this);
}
