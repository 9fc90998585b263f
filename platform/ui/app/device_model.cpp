// The built-in device models.
#include "platform/ui/app/device_model.h"

namespace {

const std::vector<DeviceModel>& models() {
    static const std::vector<DeviceModel> list = {
        {"notched", {390, 844}, 3, {47, 0, 34, 0}, {0, 47, 21, 47}, UIUserInterfaceIdiom::Phone, 47},
        {"home-button", {375, 667}, 2, {20, 0, 0, 0}, {0, 0, 0, 0}, UIUserInterfaceIdiom::Phone, 20},
        {"tablet", {820, 1180}, 2, {24, 0, 20, 0}, {24, 0, 20, 0}, UIUserInterfaceIdiom::Pad, 24},
    };
    return list;
}

}  // namespace

std::optional<DeviceModel> DeviceModel::named(std::string_view name) {
    for (const auto& m : models())
        if (m.name == name) return m;
    return std::nullopt;
}

const DeviceModel& DeviceModel::defaultModel() {
    return models().front();
}

std::vector<std::string> DeviceModel::names() {
    std::vector<std::string> out;
    for (const auto& m : models()) out.push_back(m.name);
    return out;
}
