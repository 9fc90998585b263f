// The settings screens the storyboard makes by identifier: the side menu, the value lists and the
// language list.
#pragma once

#include <memory>

class UIStoryboard;

void registerSettingsControllers(const std::shared_ptr<UIStoryboard>& storyboard);
