#!/usr/bin/env python3
"""Writes the licence list of Korva's third-party components.

The components are the libraries the program links (every pkg-config module and CMake package the
non-test CMake files (and the .cmake files they include) ask for) and the fonts it ships in resources/fonts. Each component's licence
text is the Debian package's copyright file; it is written to resources/licenses/<name>.txt, and
the names, in a fixed order, to settings/licenses/third_party_components.cpp.

A module the table below does not know stops the generator, so the list cannot silently fall
behind when a library is added.

    generate_licences.py SOURCE_ROOT            writes the list and the texts
    generate_licences.py --check SOURCE_ROOT    fails when the committed list is not current
"""
import os
import pathlib
import re
import sys

# Component name, the Debian package whose copyright file holds its licence, and the build
# modules (pkg-config names or CMake packages) or font file prefixes that stand for it.
COMPONENTS = [
    ("Cairo", "libcairo2", ["cairo"]),
    ("curl", "libcurl4", ["libcurl"]),
    ("DejaVu Fonts", "fonts-dejavu-core", ["font:DejaVuSans", "font:DejaVuSerif"]),
    ("Exiv2", "libexiv2-27", ["exiv2"]),
    ("Expat", "libexpat1", ["expat"]),
    ("FFmpeg", "libavformat59", ["libavformat", "libavcodec", "libswscale", "libswresample", "libavutil"]),
    ("Font Awesome", "fonts-font-awesome", ["font:FontAwesome"]),
    ("Fontconfig", "libfontconfig1", ["fontconfig"]),
    ("GLib", "libglib2.0-0", ["gio-2.0"]),
    ("GTK", "libgtk-3-0", ["gtk+-3.0"]),
    ("Highway", "libhwy1", ["libhwy"]),
    ("ICU", "libicu72", ["icu-uc", "icu-i18n"]),
    ("JSON for Modern C++", "nlohmann-json3-dev", ["nlohmann_json"]),
    ("libcamera", "libcamera0.0.3", ["libcamera"]),
    ("libjpeg-turbo", "libjpeg62-turbo", ["libjpeg"]),
    ("libpng", "libpng16-16", ["libpng"]),
    ("libX11", "libx11-6", ["x11"]),
    ("libXi", "libxi6", ["xi"]),
    ("Little CMS", "liblcms2-2", ["lcms2"]),
    ("OpenSSL", "libssl3", ["libcrypto"]),
    ("Pango", "libpango-1.0-0", ["pangocairo", "pangoft2"]),
    ("Pixman", "libpixman-1-0", ["pixman-1"]),
    ("SDL", "libsdl2-2.0-0", ["sdl2"]),
    ("SQLite", "libsqlite3-0", ["sqlite3"]),
    ("WebKitGTK", "libwebkit2gtk-4.1-0", ["webkit2gtk-4.1"]),
    ("zlib", "zlib1g", ["zlib"]),
]
# Build helpers that are not shipped with the program.
NOT_SHIPPED = {"PkgConfig", "Threads", "Python3", "GTest", "cpp-httplib"}


def build_modules(root):
    """The modules the non-test CMake files (and the .cmake files they include) ask for."""
    modules = set()
    files = []
    for folder, subfolders, names in os.walk(root):
        # Tests, benchmarks, tools and build trees ship nothing.
        subfolders[:] = [d for d in subfolders if d not in ("tests", "bench", "fuzz", "build", "tools") and not d.startswith(".")]
        files += [pathlib.Path(folder) / n for n in names if n == "CMakeLists.txt" or n.endswith(".cmake")]
    for cmake in files:
        text = cmake.read_text()
        for args in re.findall(r"pkg_check_modules\(([^)]*)\)", text):
            words = args.split()
            modules.update(w for w in words[1:] if w not in ("REQUIRED", "IMPORTED_TARGET", "QUIET"))
        for args in re.findall(r"find_package\(([^)]*)\)", text):
            modules.add(args.split()[0])
    for font in (root / "resources" / "fonts").glob("*.ttf"):
        modules.add("font:" + re.split(r"[-.]", font.name)[0])
    return modules - NOT_SHIPPED


def main():
    args = sys.argv[1:]
    check = "--check" in args
    args = [a for a in args if a != "--check"]
    root = pathlib.Path(args[0] if args else ".").resolve()
    known = {m: name for name, _, ms in COMPONENTS for m in ms}
    modules = build_modules(root)
    unknown = sorted(m for m in modules if m not in known)
    if unknown:
        sys.exit("no licence entry for: " + ", ".join(unknown))
    used = {known[m] for m in modules}
    out = root / "resources" / "licenses"
    if check:
        listing = (root / "settings" / "licenses" / "third_party_components.cpp").read_text()
        listed = re.findall(r'^        "([^"]+)",$', listing, re.M)
        expected = [name for name, _, _ in COMPONENTS if name in used]
        missing_texts = [n for n in expected if not (out / (n + ".txt")).is_file()]
        if listed != expected or missing_texts:
            sys.exit("the licence list is not current: run the korva_generate_licences target")
        return
    out.mkdir(parents=True, exist_ok=True)
    names = []
    for name, package, _ in COMPONENTS:
        if name not in used:
            continue
        copyright_file = pathlib.Path("/usr/share/doc") / package / "copyright"
        text = copyright_file.read_text(encoding="utf-8", errors="replace")
        (out / (name + ".txt")).write_text(text, encoding="utf-8")
        names.append(name)
    listing = "\n".join('        "%s",' % n for n in names)
    (root / "settings" / "licenses" / "third_party_components.cpp").write_text(
        "// Generated by tools/licences/generate_licences.py from the build files and the fonts folder;\n"
        "// do not edit. Each name has its licence text in the bundle as licenses/<name>.txt.\n"
        '#include "settings/licenses/third_party_components.h"\n\n'
        "const std::vector<std::string>& thirdPartyComponents() {\n"
        "    static const std::vector<std::string> names{\n" + listing + "\n    };\n"
        "    return names;\n}\n")


if __name__ == "__main__":
    main()
