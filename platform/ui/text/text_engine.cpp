// The font map: fontconfig restricted to the bundled font folder (plus the machine's font for
// Chinese, Japanese and Korean, which the bundled fonts lack), read by Pango through Cairo.
#include "platform/ui/text/text_engine.h"

#include <fontconfig/fontconfig.h>
#include <pango/pangofc-fontmap.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/runtime/log.h"
#include "platform/runtime/source_resources.h"
#include "platform/storage/bundle.h"
#include "platform/ui/text/ui_font.h"

namespace {
std::atomic<bool> useSystemFonts{false};

std::string findFontDirectory() {
    std::string bundlePath;
    if (auto bundle = NSBundle::mainBundle()) bundlePath = bundle->bundlePath();
    return bundledFontDirectory(bundlePath);
}

std::string xmlEscaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
    return out;
}

// The user's own fontconfig cache folder ($XDG_CACHE_HOME, else ~/.cache), made if missing; empty
// when there is none that this user can write.
std::string userFontCacheFolder() {
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    const char* home = std::getenv("HOME");
    std::filesystem::path base;
    if (xdg && *xdg == '/')
        base = xdg;
    else if (home && *home == '/')
        base = std::filesystem::path(home) / ".cache";
    else
        return {};
    const auto folder = base / "fontconfig";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return !ec && ::access(folder.c_str(), W_OK | X_OK) == 0 ? folder.string() : std::string();
}

// A private folder of this user's under TMPDIR, for when the user's own cache folder cannot be
// written. Fontconfig trusts the cache files it finds in its cache folders, so the folder is used
// only when it is a real folder (no link) that this user owns and no one else may write: one that
// someone else put there first is refused, named with the reason, and the fonts are then scanned
// at each start.
std::string temporaryFontCacheFolder() {
    std::error_code ec;
    const auto base = std::filesystem::temp_directory_path(ec);
    auto refuse = [](const std::string& folder, const std::string& why) {
        Log::warning("text", "the font cache folder " + folder + " is not used: " + why +
                                 "; the fonts are scanned at each start");
        return std::string();
    };
    if (ec) return refuse("under TMPDIR", ec.message());
    const auto folder = base / ("korva-fontconfig-" + std::to_string(::geteuid()));
    const int made = ::mkdir(folder.c_str(), 0700) == 0 ? 0 : errno;  // already there is checked below
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0) return refuse(folder.string(), std::strerror(made ? made : errno));
    if (S_ISLNK(st.st_mode)) return refuse(folder.string(), "it is a symbolic link");
    if (!S_ISDIR(st.st_mode)) return refuse(folder.string(), "it is not a folder");
    if (st.st_uid != ::geteuid())
        return refuse(folder.string(), "it belongs to another user (uid " + std::to_string(st.st_uid) + ")");
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0) return refuse(folder.string(), "others may write to it");
    return folder.string();
}

// The bundled folder, with a cache folder so that fontconfig does not rescan at every start.
// Without one the folder's files are added one by one, which fontconfig reads without trying to
// write a cache (and without complaining that it has nowhere to: the folder refused is named).
FcConfig* bundledOnlyConfig(const std::string& directory) {
    FcConfig* config = FcConfigCreate();
    if (!config) return nullptr;
    const auto caches = fontCacheFolders();
    std::string xml = "<?xml version=\"1.0\"?><fontconfig>";
    if (!caches.empty()) xml += "<dir>" + xmlEscaped(directory) + "</dir>";
    for (const auto& folder : caches) xml += "<cachedir>" + xmlEscaped(folder) + "</cachedir>";
    xml += "</fontconfig>";
    if (!FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(xml.c_str()), FcFalse) ||
        !FcConfigBuildFonts(config)) {
        FcConfigDestroy(config);
        return nullptr;
    }
    if (caches.empty()) {
        std::error_code ec;
        std::vector<std::string> files;
        for (const auto& entry : std::filesystem::directory_iterator(directory, ec))
            if (entry.is_regular_file(ec)) files.push_back(entry.path().string());
        std::sort(files.begin(), files.end());
        for (const auto& file : files) FcConfigAppFontAddFile(config, reinterpret_cast<const FcChar8*>(file.c_str()));
    }
    return config;
}

// Characters a font must have to stand in for the bundled fonts in Chinese, Japanese and Korean
// text: an ideograph, a kana and a Hangul syllable.
constexpr FcChar32 kCJKProbe[] = {0x4E2D, 0x3042, 0xD55C};

// The file of the machine's first font (by path, so the choice is stable) that has the probe
// characters; empty when there is none.
std::string systemCJKFontFile() {
    FcConfig* system = FcInitLoadConfigAndFonts();
    if (!system) return {};
    FcPattern* pattern = FcPatternCreate();
    FcCharSet* chars = FcCharSetCreate();
    for (FcChar32 c : kCJKProbe) FcCharSetAddChar(chars, c);
    FcPatternAddCharSet(pattern, FC_CHARSET, chars);
    FcObjectSet* objects = FcObjectSetBuild(FC_FILE, nullptr);
    std::string best;
    if (FcFontSet* fonts = FcFontList(system, pattern, objects)) {
        for (int i = 0; i < fonts->nfont; ++i) {
            FcChar8* file = nullptr;
            if (FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file) != FcResultMatch || !file) continue;
            std::string path(reinterpret_cast<const char*>(file));
            if (best.empty() || path < best) best = path;
        }
        FcFontSetDestroy(fonts);
    }
    FcObjectSetDestroy(objects);
    FcCharSetDestroy(chars);
    FcPatternDestroy(pattern);
    FcConfigDestroy(system);
    return best;
}

struct Engine {
    std::string directory;
    std::string cjkFile;
    PangoFontMap* fontMap = nullptr;

    Engine() {
        directory = findFontDirectory();
        // An empty configuration (no system folders, no cache) plus our folder and the machine's
        // CJK font for what ours cannot draw, unless the machine's fonts are wanted as a fallback
        // behind the bundled ones.
        FcConfig* config = bundledOnlyConfig(directory);
        cjkFile = systemCJKFontFile();
        if (config && !cjkFile.empty())
            FcConfigAppFontAddFile(config, reinterpret_cast<const FcChar8*>(cjkFile.c_str()));
        if (useSystemFonts) {
            if (FcConfig* system = FcInitLoadConfigAndFonts()) {
                FcConfigAppFontAddDir(system, reinterpret_cast<const FcChar8*>(directory.c_str()));
                if (config) FcConfigDestroy(config);
                config = system;
            }
        }
        fontMap = pango_cairo_font_map_new_for_font_type(CAIRO_FONT_TYPE_FT);
        if (fontMap && config && PANGO_IS_FC_FONT_MAP(fontMap))
            pango_fc_font_map_set_config(PANGO_FC_FONT_MAP(fontMap), config);
        if (config) FcConfigDestroy(config);
        if (!fontMap) fontMap = pango_cairo_font_map_new();
    }
};

Engine& engine() {
    static Engine instance;
    return instance;
}
}  // namespace

std::vector<std::string> fontCacheFolders() {
    if (auto own = userFontCacheFolder(); !own.empty()) return {own};
    if (auto temporary = temporaryFontCacheFolder(); !temporary.empty()) return {temporary};
    return {};
}

std::string bundledFontDirectory(const std::string& bundlePath) {
    std::vector<std::string> candidates;
    if (!bundlePath.empty()) candidates.push_back(bundlePath + "/fonts");
    candidates.push_back(std::string(kSourceResourcesFolder) + "/fonts");
    for (const auto& dir : candidates) {
        std::error_code ec;
        if (!std::filesystem::exists(dir + "/DejaVuSans.ttf", ec)) continue;
        // Faces are opened lazily, long after the map is made: name them by the real folder, so
        // that a bundle of links that goes away later does not take the fonts with it.
        auto real = std::filesystem::canonical(dir, ec);
        return ec ? dir : real.string();
    }
    return candidates.back();
}

std::recursive_mutex& textEngineMutex() {
    static std::recursive_mutex mutex;
    return mutex;
}

PangoFontMap* textFontMap() {
    std::lock_guard lock(textEngineMutex());
    return engine().fontMap;
}

std::string textFontDirectory() {
    std::lock_guard lock(textEngineMutex());
    return engine().directory;
}

std::string textCJKFontFile() {
    std::lock_guard lock(textEngineMutex());
    return engine().cjkFile;
}

void setTextEngineUsesSystemFonts(bool enabled) {
    useSystemFonts = enabled;
}

PangoContext* createTextContext() {
    std::lock_guard lock(textEngineMutex());
    PangoContext* context = pango_font_map_create_context(textFontMap());
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
    pango_context_set_round_glyph_positions(context, FALSE);
    // One point is one user-space unit.
    pango_cairo_context_set_resolution(context, 72);
    return context;
}

PangoFontDescription* createFontDescription(const UIFont& font) {
    PangoFontDescription* description = pango_font_description_new();
    pango_font_description_set_family(description, font.renderFamily().c_str());
    pango_font_description_set_weight(description, font.isBold() ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(description, font.isItalic() ? PANGO_STYLE_OBLIQUE : PANGO_STYLE_NORMAL);
    pango_font_description_set_absolute_size(description, font.pointSize() * PANGO_SCALE);
    return description;
}

void UIFontUseSystemFontsAsFallback(bool enabled) {
    setTextEngineUsesSystemFonts(enabled);
}
