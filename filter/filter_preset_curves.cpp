// The curve groups of the catalogue: their curve names and how a group is built from the files.
#include <algorithm>
#include <cctype>

#include "filter/filter_preset.h"
#include "filter/format_acv.h"
#include "foundation/string_custom_paths.h"
#include "platform/runtime/format.h"
#include "platform/storage/file_manager.h"

const std::vector<std::string>& FilterPreset::namesBnW() {
    static const std::vector<std::string> names{"afterglow",       "alice in wonderland", "cold desert",
                                                "good luck charm", "left hand blues",     "lullabye",
                                                "ragdoll",         "rivers and rain",     "set you free"};
    return names;
}

const std::vector<std::string>& FilterPreset::namesYellow() {
    static const std::vector<std::string> names{"august march", "aurora",          "blood orange", "carousel",
                                                "pistol",       "rose thorns two", "twin lungs",   "wild at heart"};
    return names;
}

const std::vector<std::string>& FilterPreset::namesMagenta() {
    static const std::vector<std::string> names{
        "ambers",          "blue yellow field", "digital film",  "golden hour", "humming bees",
        "hummingbirds",    "light parades",     "midnight hour", "moth wings",  "old postcards 1",
        "old postcards 2", "rose thorns one",   "snow white",    "sparks",      "window warmth"};
    return names;
}

const std::vector<std::string>& FilterPreset::namesCyan() {
    static const std::vector<std::string> names{"blue poppies", "cold heart",          "documentary",
                                                "electric",     "ghosts in your head", "green envy",
                                                "kiss kiss",    "peacock feathers",    "toes in the ocean"};
    return names;
}

const std::vector<std::string>& FilterPreset::namesBnW2() {
    static const std::vector<std::string> names{"country", "fresh blue 1", "trains", "fogy blue", "fresh blue 2"};
    return names;
}

const std::vector<std::string>& FilterPreset::namesCyan2() {
    static const std::vector<std::string> names{"1977",    "hudson",          "vignette",  "amaro",      "may fair",
                                                "x pro 2", "black and white", "nashville", "early bird", "valencia"};
    return names;
}

const std::vector<std::string>& FilterPreset::namesYellow2() {
    static const std::vector<std::string> names{"agfa 1",
                                                "kodak 4",
                                                "agfa 2",
                                                "kodak 5",
                                                "burning sunset 1",
                                                "kodak 6",
                                                "burning sunset 2",
                                                "mine",
                                                "cross 1",
                                                "neat",
                                                "cross 2",
                                                "old fashioned vintage",
                                                "cross 3",
                                                "people 1",
                                                "cross 4",
                                                "people 2",
                                                "dark fall",
                                                "people 3",
                                                "fdi 1",
                                                "people bright",
                                                "fdi 2",
                                                "portrait",
                                                "fdi 3",
                                                "positive 1",
                                                "fdi 4",
                                                "positive 2",
                                                "fdi 5",
                                                "positive 3",
                                                "fdi 6",
                                                "positive 4",
                                                "fdi 7",
                                                "positive 5",
                                                "fdi 8",
                                                "red tone",
                                                "fdi 9",
                                                "rh 1",
                                                "film 1",
                                                "rh 2",
                                                "film 2",
                                                "rh 3",
                                                "film 3",
                                                "rh 4",
                                                "film 4",
                                                "rh 5",
                                                "film color cross",
                                                "slr",
                                                "film green",
                                                "squeezing taste",
                                                "film red",
                                                "style bluish",
                                                "film wide range",
                                                "style bright",
                                                "filmnara",
                                                "style creamy",
                                                "flower 1",
                                                "style greeny",
                                                "flower 2",
                                                "style reddish",
                                                "hey blue",
                                                "style yellowish",
                                                "hey green",
                                                "sunset 1",
                                                "hey red",
                                                "sunset red",
                                                "hey yellow",
                                                "the bard 1",
                                                "kodak 1",
                                                "the bard 2",
                                                "kodak 2",
                                                "yellow tone",
                                                "kodak 3"};
    return names;
}

std::vector<std::string> FilterPreset::allCurveNames() {
    std::vector<std::string> all;
    for (const auto* group :
         {&namesBnW(), &namesYellow(), &namesMagenta(), &namesCyan(), &namesBnW2(), &namesCyan2(), &namesYellow2()})
        all.insert(all.end(), group->begin(), group->end());
    return all;
}

namespace {

std::string lowered(const std::string& s) {
    std::string out = s;
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string capitalized(const std::string& s) {
    std::string out = s;
    bool start = true;
    for (char& c : out) {
        unsigned char u = static_cast<unsigned char>(c);
        c = static_cast<char>(start ? std::toupper(u) : std::tolower(u));
        start = std::isspace(u) != 0;
    }
    return out;
}

}  // namespace

Value FilterPreset::descsFromCurves(std::vector<std::string> names, const std::string& format) {
    std::stable_sort(names.begin(), names.end(),
                     [](const std::string& a, const std::string& b) { return lowered(a) < lowered(b); });
    Value out = Value::array();
    for (std::size_t k = 1; k <= names.size(); ++k) {
        const std::string& name = names[k - 1];
        auto path = withBundlePath(name + ".acv");
        if (!path) continue;
        auto data = readFileData(*path);
        if (!data) continue;
        std::string disp = format.empty() ? capitalized(name) : formatString(format, {Value(static_cast<long>(k))});
        Value desc = FormatACV::parseNoSelfie(*data, disp);
        if (!desc.isNull()) out.append(desc);
    }
    return out;
}
