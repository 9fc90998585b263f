// The settings screens the controller registry makes by name.
#pragma once

#include <memory>

class UIStoryboard;

// Registers "SettingsDictController".
void registerSettingsControllers(const std::shared_ptr<UIStoryboard>& storyboard);
