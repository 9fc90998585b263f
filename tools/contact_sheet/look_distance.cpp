// Pairwise distances of looks over the synthetic scene.
#include "tools/contact_sheet/look_distance.h"

#include <cmath>
#include <limits>

#include "filter/filter_context.h"
#include "filter/filter_element.h"
#include "filter/filter_preset.h"
#include "tools/contact_sheet/synthetic_scene.h"

namespace {

struct Rendered {
    std::string name;
    std::vector<std::uint8_t> rgb;
};

double rms(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        double d = double(a[i]) - double(b[i]);
        sum += d * d;
    }
    return a.empty() ? 0 : std::sqrt(sum / double(a.size()));
}

}  // namespace

LookPair closestLooks(const std::vector<Value>& descs, int sceneWidth) {
    int width = sceneWidth, height = sceneWidth * 3 / 4;
    RasterRGBA8 scene = makeSyntheticScene(width, height);
    auto source = CIImage::imageWithBitmapData(std::move(scene.pixels), static_cast<std::size_t>(width) * 4, width,
                                               height, CIFormat::RGBA8, CIAlphaMode::Premultiplied, nullptr);
    auto contexts = FilterContext::make();
    auto& context = *contexts->ciCPU();
    CGRect rect = CGRectMake(0, 0, width, height);

    std::vector<Rendered> rendered;
    for (const Value& desc : descs) {
        auto element = FilterElement::withDesc(desc);
        auto out = element && source ? element->make(source) : nullptr;
        auto bitmap = out ? context.createCGImage(out, rect) : nullptr;
        if (!bitmap) continue;
        Rendered r{element->displayName(), {}};
        r.rgb.reserve(static_cast<std::size_t>(width) * height * 3);
        for (int y = 0; y < bitmap->height(); ++y) {
            const std::uint8_t* p = bitmap->row(y);
            for (int x = 0; x < bitmap->width(); ++x, p += 4) r.rgb.insert(r.rgb.end(), p, p + 3);
        }
        rendered.push_back(std::move(r));
    }

    LookPair closest{"", "", std::numeric_limits<double>::infinity()};
    for (std::size_t i = 0; i < rendered.size(); ++i)
        for (std::size_t j = i + 1; j < rendered.size(); ++j)
            if (double d = rms(rendered[i].rgb, rendered[j].rgb); d < closest.rms)
                closest = {rendered[i].name, rendered[j].name, d};
    if (closest.first.empty()) closest.rms = 0;
    return closest;
}

std::vector<LookPair> closestLooksPerMenu(int sceneWidth) {
    auto preset = FilterPreset::make();
    std::vector<LookPair> out;
    for (std::size_t m = 0; m < FilterPreset::menuLabels().size(); ++m) {
        const Value& menu = preset->menu(m);
        std::vector<Value> descs;
        for (std::size_t i = 0; i < menu.count(); ++i) descs.push_back(menu[i]);
        out.push_back(closestLooks(descs, sceneWidth));
    }
    return out;
}
