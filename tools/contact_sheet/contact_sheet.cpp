// contact_sheet: renders every look of the four filter menus over a synthetic scene into one PNG.
// Row by row: BRIGHT, WARM, MAGENTA (two rows), CYAN. Each row starts with the scene unfiltered
// and the scene through the looks' shared pre-chain alone (identity curves), for comparison.
//
// Usage: korva_contact_sheet OUTPUT.png [TILE_WIDTH]
//        korva_contact_sheet --check MIN_RMS   (prints each menu's closest pair of looks over the
//        scene at the sheet's tile size; fails when a pair is closer than MIN_RMS levels)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "filter/filter_context.h"
#include "filter/filter_element.h"
#include "filter/filter_preset.h"
#include "filter/format_acv.h"
#include "platform/image/codec/png.h"
#include "tools/contact_sheet/look_distance.h"
#include "tools/contact_sheet/synthetic_scene.h"

namespace {

// A curve file whose four curves are the identity.
Bytes identityCurves() {
    static constexpr std::uint8_t kCurve[] = {0, 2, 0, 0, 0, 0, 0, 255, 0, 255};
    Bytes b{0, 4, 0, 4};
    for (int c = 0; c < 4; ++c)
        for (std::uint8_t byte : kCurve) b.push_back(byte);
    return b;
}

constexpr int kColumns = 11;  // the scene, the pre-chain alone and nine looks
constexpr int kTileWidth = 240;
constexpr int kGap = 6;

void blit(RasterRGBA8& sheet, const CGImage& tile, int left, int top) {
    for (int y = 0; y < tile.height(); ++y) {
        const std::uint8_t* src = tile.row(y);
        std::uint8_t* dst = sheet.pixels.data() + (static_cast<std::size_t>(top + y) * sheet.width + left) * 4;
        for (int x = 0; x < tile.width(); ++x, src += 4, dst += 4) {
            dst[0] = src[0];
            dst[1] = src[1];
            dst[2] = src[2];
            dst[3] = 255;
        }
    }
}

int checkDistances(double minimum) {
    const auto& labels = FilterPreset::menuLabels();
    auto pairs = closestLooksPerMenu(kTileWidth);
    bool ok = true;
    for (std::size_t m = 0; m < pairs.size(); ++m) {
        const LookPair& p = pairs[m];
        bool met = p.rms >= minimum;
        ok = ok && met;
        std::printf("%-8s closest looks %s / %s: %.1f levels RMS%s\n", labels[m].c_str(), p.first.c_str(),
                    p.second.c_str(), p.rms, met ? "" : "  (too close)");
    }
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || (std::string(argv[1]) == "--check" && argc < 3)) {
        std::fprintf(stderr, "usage: %s OUTPUT.png [TILE_WIDTH] | --check MIN_RMS\n", argv[0]);
        return 2;
    }
    if (std::string(argv[1]) == "--check") return checkDistances(std::atof(argv[2]));
    int tileW = argc > 2 ? std::max(64, std::atoi(argv[2])) : kTileWidth;
    int tileH = tileW * 3 / 4;

    RasterRGBA8 scene = makeSyntheticScene(tileW, tileH);
    auto source = CIImage::imageWithBitmapData(std::move(scene.pixels), static_cast<std::size_t>(tileW) * 4, tileW,
                                               tileH, CIFormat::RGBA8, CIAlphaMode::Premultiplied, nullptr);
    if (!source) {
        std::fprintf(stderr, "could not make the scene\n");
        return 1;
    }
    auto contexts = FilterContext::make();
    auto& context = *contexts->ciCPU();
    auto preset = FilterPreset::make();

    // Rows: each menu, split after nine looks.
    std::vector<std::vector<Value>> rows;
    for (std::size_t m = 0; m < FilterPreset::menuLabels().size(); ++m) {
        const Value& menu = preset->menu(m);
        std::vector<Value> row;
        for (std::size_t i = 0; i < menu.count(); ++i) {
            row.push_back(menu[i]);
            if (row.size() == kColumns - 2) {
                rows.push_back(row);
                row.clear();
            }
        }
        if (!row.empty()) rows.push_back(row);
    }

    RasterRGBA8 sheet =
        makeRaster(kColumns * (tileW + kGap) + kGap, static_cast<int>(rows.size()) * (tileH + kGap) + kGap);
    for (std::size_t i = 0; i < sheet.pixels.size(); i += 4) {
        sheet.pixels[i] = sheet.pixels[i + 1] = sheet.pixels[i + 2] = 24;
        sheet.pixels[i + 3] = 255;
    }
    CGRect rect = CGRectMake(0, 0, tileW, tileH);
    int rendered = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        int top = kGap + static_cast<int>(r) * (tileH + kGap);
        if (auto plain = context.createCGImage(source, rect)) blit(sheet, *plain, kGap, top);
        if (auto pre = FilterElement::withDesc(FormatACV::parseNoSelfie(identityCurves(), "identity")))
            if (auto bitmap = context.createCGImage(pre->make(source), rect))
                blit(sheet, *bitmap, kGap + tileW + kGap, top);
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            auto element = FilterElement::withDesc(rows[r][c]);
            if (!element) continue;
            auto out = element->make(source);
            auto bitmap = out ? context.createCGImage(out, rect) : nullptr;
            if (!bitmap) {
                std::fprintf(stderr, "%s: nothing rendered\n", element->displayName().c_str());
                continue;
            }
            blit(sheet, *bitmap, kGap + static_cast<int>(c + 2) * (tileW + kGap), top);
            ++rendered;
        }
    }
    auto png = encodePng(sheet);
    if (!png) {
        std::fprintf(stderr, "encoding failed: %s\n", png.error().c_str());
        return 1;
    }
    std::ofstream(argv[1], std::ios::binary)
        .write(reinterpret_cast<const char*>(png->data()), static_cast<std::streamsize>(png->size()));
    std::printf("%d looks rendered into %s\n", rendered, argv[1]);
    return rendered > 0 ? 0 : 1;
}
