#!/usr/bin/env python3
"""Writes the language and country code tables as C++ source.

    generate_language_tables.py OUT_CPP [ISO_CODES_JSON_DIR] [LOCALE_DIR]

English names come from the iso-codes package (ISO 639-2 and ISO 3166-1), native names of the
two-letter languages from ICU's name of each language in itself, then from iso-codes' own
translation into that language, then from supplement.json beside this script. The supplement also
holds the key lists with their order and the rows whose names the application fixes; those win over
both sources. The output is committed; run this again after changing the supplement.
"""
import ctypes
import ctypes.util
import gettext
import json
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def load_icu_display_language():
    """uloc_getDisplayLanguage from the installed ICU, whose symbols carry the version suffix."""
    path = ctypes.util.find_library("icuuc")
    if not path:
        sys.exit("ICU (libicuuc) not found")
    lib = ctypes.CDLL(path)
    for version in range(60, 100):
        fn = getattr(lib, "uloc_getDisplayLanguage_%d" % version, None)
        if fn:
            fn.argtypes = [ctypes.c_char_p, ctypes.c_char_p, ctypes.c_void_p, ctypes.c_int32,
                           ctypes.POINTER(ctypes.c_int)]
            fn.restype = ctypes.c_int32
            return fn
    sys.exit("uloc_getDisplayLanguage not found in " + path)


def icu_self_name(fn, code):
    buf = ctypes.create_string_buffer(1024)
    err = ctypes.c_int(0)
    n = fn(code.encode(), code.encode(), buf, 512, ctypes.byref(err))
    if err.value > 0:
        return None
    return buf.raw[:n * 2].decode("utf-16-le")


def iso_translation(locale_dir, code, english):
    try:
        t = gettext.translation("iso_639-2", locale_dir, languages=[code])
    except OSError:
        return None
    return t.gettext(english)


def english_two_letter(name):
    # iso-codes separates alternative names with "; " and sometimes adds an inverted form
    # ("Ndebele, North; North Ndebele"); the table keeps the plain forms joined with ", ".
    parts = name.split("; ")
    plain = [p for p in parts if ", " not in p] or parts
    return ", ".join(plain)


def c_string(s):
    out = []
    for ch in s:
        if ch in '"\\':
            out.append("\\" + ch)
        else:
            out.append(ch)
    return '"' + "".join(out) + '"'


def build(iso_dir, locale_dir):
    sup = json.load(open(os.path.join(HERE, "supplement.json"), encoding="utf-8"))
    lang = json.load(open(os.path.join(iso_dir, "iso_639-2.json"), encoding="utf-8"))["639-2"]
    countries = json.load(open(os.path.join(iso_dir, "iso_3166-1.json"), encoding="utf-8"))["3166-1"]
    by3, by2 = {}, {}
    for e in lang:
        by3[e["alpha_3"]] = e
        if "bibliographic" in e:
            by3[e["bibliographic"]] = e
        if "alpha_2" in e:
            by2[e["alpha_2"]] = e

    icu = load_icu_display_language()
    rows1 = []
    for key in sup["iso639_1_keys"]:
        alias = sup["iso639_1_aliases"].get(key, "")
        if alias:
            rows1.append((key, None, None, alias))
            continue
        fixed = sup["iso639_1_rows"].get(key)
        if fixed:
            rows1.append((key, fixed[0], fixed[1], ""))
            continue
        if key not in by2:
            sys.exit("no English name for " + key)
        english = english_two_letter(by2[key]["name"])
        native = icu_self_name(icu, key)
        if not native or native == key or native == english:
            native = iso_translation(locale_dir, key, by2[key]["name"])
            if native == by2[key]["name"]:
                native = None
        native = native or sup["native_supplement"].get(key)
        if not native:
            sys.exit("no native name for " + key)
        rows1.append((key, native, english, ""))
    english1 = {}
    for key, native, english, alias in rows1:
        if alias:
            continue
        if english in english1:
            sys.exit("English name %r used by %s and %s" % (english, english1[english], key))
        english1[english] = key

    rows2 = []
    for key in sup["iso639_2_keys"]:
        e = by3[key]
        rows2.append((key, sup["iso639_2_names"].get(key, e["name"]), e.get("alpha_2", "")))

    eng_of = {k: en for k, _, en, a in rows1 if not a}
    dated = []
    for key in sup["dated_keys"]:
        name = sup["dated_names"].get(key) or eng_of.get(key)
        if not name:
            sys.exit("no name for dated key " + key)
        dated.append((key, name))

    by_alpha2 = {c["alpha_2"]: c["name"] for c in countries}
    rows_c = []
    for code in sup["country_keys"]:
        name = sup["country_names"].get(code) or by_alpha2.get(code)
        if not name:
            sys.exit("no name for country " + code)
        rows_c.append((code, name))
    if len({n for _, n in rows_c}) != len(rows_c):
        sys.exit("country names are not distinct")
    return rows1, rows2, dated, sup["translation_codes"], rows_c


def write(out, rows1, rows2, dated, translation, rows_c):
    lines = [
        "// The language and country code tables. Written by tools/language_tables/generate_language_tables.py",
        "// from iso-codes, ICU and the tool's supplement; change those and run the tool, not this file.",
        '#include "language/code_table_rows.h"',
        "",
        "const std::array<LanguageRow, %d> kIso639_1Rows = {{" % len(rows1),
    ]
    for key, native, english, alias in rows1:
        if alias:
            lines.append("    {%s, {}, {}, %s}," % (c_string(key), c_string(alias)))
        else:
            lines.append("    {%s, %s, %s, {}}," % (c_string(key), c_string(native), c_string(english)))
    lines += ["}};", "", "const std::array<Iso639_2Row, %d> kIso639_2Rows = {{" % len(rows2)]
    for key, english, two in rows2:
        lines.append("    {%s, %s, %s}," % (c_string(key), c_string(english), c_string(two)))
    lines += ["}};", "", "const std::array<NamedCode, %d> kDatedLanguageRows = {{" % len(dated)]
    for key, name in dated:
        lines.append("    {%s, %s}," % (c_string(key), c_string(name)))
    lines += ["}};", "", "const std::array<std::string_view, %d> kTranslationLanguageCodes = {" % len(translation)]
    for i in range(0, len(translation), 12):
        lines.append("    " + " ".join(c_string(c) + "," for c in translation[i:i + 12]))
    lines += ["};", "", "const std::array<NamedCode, %d> kCountryRows = {{" % len(rows_c)]
    for code, name in rows_c:
        lines.append("    {%s, %s}," % (c_string(code), c_string(name)))
    lines += ["}};", ""]
    with open(out, "w", encoding="utf-8") as f:
        f.write("\n".join(lines))


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    iso_dir = sys.argv[2] if len(sys.argv) > 2 else "/usr/share/iso-codes/json"
    locale_dir = sys.argv[3] if len(sys.argv) > 3 else "/usr/share/locale"
    write(sys.argv[1], *build(iso_dir, locale_dir))


if __name__ == "__main__":
    main()
