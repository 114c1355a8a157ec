#!/usr/bin/env python3
"""Copies the hyph-utf8 pattern sets, in UTF-8, into one folder, each with
its licence notice and source, and writes the table of the sets.

Called by scripts/make_utf8_sets.sh, which fetches the pinned Debian
packages and unpacks each into UNPACKED/<package>:

    make_utf8_sets.py UNPACKED OUT_DIR PACKAGE=VERSION...

Writes, in OUT_DIR, for every hyph-<tag>.pat.txt found:

  <tag>.pat  a block of "%" comment lines (the leading comment block of
             hyph-<tag>.tex, which holds the set's title, authors, copyright
             and licence; then the Debian package, its version and the files
             taken), then the patterns of hyph-<tag>.pat.txt, one a line, in
             their order, unchanged;
  <tag>.hyp  for the sets with exceptions (hyph-<tag>.hyp.txt): a short
             "%" header naming the source, then one word a line as in the
             .hyp.txt ("-" marks the breaks);
  sets.tsv   one line a set, tab-separated, after a header line:
             name        the hyph-utf8 tag, which is also the file name
             language    the language in English
             left right  the minima: the fewest letters before the first
                         and after the last break
             tags        the BCP 47 tags that name the set (lower case,
                         comma-separated; see TAGS below)
             licence     the licence in short form
             package version   the Debian package the set comes from
             patterns exceptions   the counts
             minima_from "cnf" when the minima are Debian's (the line of the
                         set in /var/lib/tex-common/hyphen-cnf/texlive/
                         <package>.cnf), "tex" when the set has no such line
                         and they are the "hyphenmins" of hyph-<tag>.tex
                         (typesetting, else generation)

All files are UTF-8 with LF line ends.  Everything is a function of the
input files: a second run gives the same bytes.
"""

import os
import re
import sys
import unicodedata

TEXMF = "usr/share/texlive/texmf-dist"
HYPH = TEXMF + "/tex/generic/hyph-utf8/patterns"
CNF = "var/lib/tex-common/hyphen-cnf/texlive"
EXPECTED_SETS = 79

# name: (language in English, BCP 47 tags).
#
# How the tags were chosen: every set is named by its own hyph-utf8 tag
# (lower case) and by the tags in common use for its language.  No tag names
# two sets.  A program that looks a tag up may drop subtags from the end
# until one matches (RFC 4647 "lookup": en-CA -> en -> en-us, de-CH-1996
# -> de-ch -> de-ch-1901), so only the tags that must go elsewhere than
# their prefix are listed, and a few common regional ones for clarity:
# - en is US English (hyph-utf8 and TeX use en-us for plain "english"); the
#   Commonwealth varieties that spell the British way (en-gb, en-au, en-ie,
#   en-nz, en-za) go to en-gb.
# - de and the German of Germany, Austria, Belgium, Luxembourg and Italy
#   use the reformed spelling (de-1996).  Swiss and Liechtenstein German
#   write no "ß", so de-ch and de-li go to de-ch-1901, the only set written
#   for that; de-1901 is asked for by its own tag only.
# - el (and el-gr, el-cy) is monotonic Modern Greek; el-polyton is the
#   registered variant tag of the polytonic set; grc is Ancient Greek.
# - Serbian: sr is Cyrillic (the likely script of sr), and so is sr-cyrl;
#   both go to sr-cyrl.  sr-latn has no Serbian set of its own and goes to
#   sh-latn (Serbo-Croatian in Latin letters), as do sh, bs and bs-latn
#   (Bosnian) and cnr (Montenegrin); sh-cyrl, bs-cyrl and cnr-cyrl go to
#   sh-cyrl.  Croatian (hr) has a set of its own.
# - no (the Norwegian macrolanguage) and nb are Bokmål; nn is Nynorsk.
# - mn is Mongolian in Cyrillic (its likely script); mn-mong is not served.
# - Kurdish: kmr (Kurmanji) and ku-latn; plain ku is left out, as Central
#   Kurdish is written in Arabic letters.
# - mul-ethi serves the languages written in Ethiopic script: am
#   (Amharic), ti (Tigrinya), gez (Ge'ez), tig (Tigre), byn (Blin).
# - pa is Punjabi in Gurmukhi (pa-guru); pa-arab is not served.
# - zh-latn-pinyin is the registered variant for pinyin; zh-latn too.
# - fi-x-school, la-x-classic, la-x-liturgic are hyph-utf8's private-use
#   tags; liturgical Latin is also la-x-ecclesia (babel's name).
SETS = {
    "af": ("Afrikaans", "af"),
    "as": ("Assamese", "as"),
    "be": ("Belarusian", "be"),
    "bg": ("Bulgarian", "bg"),
    "bn": ("Bengali", "bn"),
    "ca": ("Catalan", "ca"),
    "cop": ("Coptic", "cop"),
    "cs": ("Czech", "cs"),
    "cu": ("Church Slavonic", "cu"),
    "cy": ("Welsh", "cy"),
    "da": ("Danish", "da"),
    "de-1901": ("German, traditional spelling", "de-1901,de-de-1901,de-at-1901"),
    "de-1996": ("German, reformed spelling",
                "de,de-de,de-at,de-be,de-lu,de-it,de-1996,de-de-1996,de-at-1996"),
    "de-ch-1901": ("Swiss German, traditional spelling", "de-ch,de-li,de-ch-1901"),
    "el-monoton": ("Modern Greek, monotonic", "el,el-gr,el-cy,el-monoton"),
    "el-polyton": ("Modern Greek, polytonic", "el-polyton,el-gr-polyton"),
    "en-gb": ("English, British spelling", "en-gb,en-au,en-ie,en-nz,en-za"),
    "en-us": ("English, American spelling", "en,en-us"),
    "eo": ("Esperanto", "eo"),
    "es": ("Spanish", "es"),
    "et": ("Estonian", "et"),
    "eu": ("Basque", "eu"),
    "fi": ("Finnish", "fi"),
    "fi-x-school": ("Finnish, school hyphenation", "fi-x-school"),
    "fr": ("French", "fr"),
    "fur": ("Friulian", "fur"),
    "ga": ("Irish", "ga"),
    "gl": ("Galician", "gl"),
    "grc": ("Ancient Greek", "grc"),
    "gu": ("Gujarati", "gu"),
    "hi": ("Hindi", "hi"),
    "hr": ("Croatian", "hr"),
    "hsb": ("Upper Sorbian", "hsb"),
    "hu": ("Hungarian", "hu"),
    "hy": ("Armenian", "hy"),
    "ia": ("Interlingua", "ia"),
    "id": ("Indonesian", "id"),
    "is": ("Icelandic", "is"),
    "it": ("Italian", "it"),
    "ka": ("Georgian", "ka"),
    "kmr": ("Kurmanji (Northern Kurdish)", "kmr,kmr-latn,ku-latn"),
    "kn": ("Kannada", "kn"),
    "la": ("Latin", "la"),
    "la-x-classic": ("Classical Latin", "la-x-classic"),
    "la-x-liturgic": ("Liturgical Latin", "la-x-liturgic,la-x-ecclesia"),
    "lt": ("Lithuanian", "lt"),
    "lv": ("Latvian", "lv"),
    "mk": ("Macedonian", "mk"),
    "ml": ("Malayalam", "ml"),
    "mn-cyrl": ("Mongolian, Cyrillic script", "mn,mn-cyrl,mn-mn"),
    "mr": ("Marathi", "mr"),
    "mul-ethi": ("Languages in Ethiopic script (Amharic, Tigrinya, Ge'ez ...)",
                 "mul-ethi,am,ti,gez,tig,byn"),
    "nb": ("Norwegian Bokmål", "nb,no,nb-no"),
    "nl": ("Dutch", "nl"),
    "nn": ("Norwegian Nynorsk", "nn,nn-no"),
    "oc": ("Occitan", "oc"),
    "or": ("Odia (Oriya)", "or"),
    "pa": ("Punjabi (Gurmukhi)", "pa,pa-guru"),
    "pi": ("Pali", "pi"),
    "pl": ("Polish", "pl"),
    "pms": ("Piedmontese", "pms"),
    "pt": ("Portuguese", "pt,pt-pt,pt-br"),
    "rm": ("Romansh", "rm"),
    "ro": ("Romanian", "ro"),
    "ru": ("Russian", "ru"),
    "sa": ("Sanskrit", "sa"),
    "sh-cyrl": ("Serbo-Croatian, Cyrillic script", "sh-cyrl,bs-cyrl,cnr-cyrl"),
    "sh-latn": ("Serbo-Croatian, Latin script", "sh,sh-latn,sr-latn,bs,bs-latn,cnr,cnr-latn"),
    "sk": ("Slovak", "sk"),
    "sl": ("Slovenian", "sl"),
    "sr-cyrl": ("Serbian, Cyrillic script", "sr,sr-cyrl"),
    "sv": ("Swedish", "sv"),
    "ta": ("Tamil", "ta"),
    "te": ("Telugu", "te"),
    "th": ("Thai", "th"),
    "tk": ("Turkmen", "tk"),
    "tr": ("Turkish", "tr"),
    "uk": ("Ukrainian", "uk"),
    "zh-latn-pinyin": ("Chinese, pinyin", "zh-latn-pinyin,zh-latn"),
}

# Licences whose header gives a text instead of a name, in short form.
# The other sets' licences are read from the "licence:" entries of their
# headers (name, version, "or_later"); several entries mean "any of them".
LICENCE_TEXT = [
    ("Data Files", "MIT-like (own notice)"),
    ("Permission is hereby granted", "MIT"),
    ("Copying and distribution of this file", "FSFAP"),
    ("may be used, modified, copied, distributed, and sold", "BSD-like (own notice)"),
    ("Patterns may be freely distributed", "free (own notice: may be freely distributed)"),
    ("You may freely use, copy, modify and/or distribute", "free (own notice: use, copy, modify, distribute)"),
    ("conditions specified by the author of TeX", "Knuth's terms for plain.tex"),
]
LICENCE_NONE = {"ro": "none stated"}


def die(message):
    sys.stderr.write("make_utf8_sets.py: %s\n" % message)
    sys.exit(1)


def read_utf8(path):
    with open(path, "rb") as f:
        data = f.read()
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError as e:
        die("%s: not UTF-8 (%s)" % (path, e))
    if "\r" in text:
        die("%s: CR in file" % path)
    if text.startswith("\ufeff"):
        die("%s: starts with a byte-order mark" % path)
    return text


def write_utf8(path, lines):
    with open(path, "wb") as f:
        f.write(("\n".join(lines) + "\n").encode("utf-8"))


def entries(path):
    """The lines of a .pat.txt or .hyp.txt that are not blank, each checked
    to hold no white space (one pattern or word a line)."""
    out = []
    for number, line in enumerate(read_utf8(path).split("\n"), 1):
        if line.strip() == "":
            continue
        if re.search(r"\s", line):
            die("%s:%d: white space inside an entry" % (path, number))
        if line.startswith("%"):
            die("%s:%d: entry starts with %%" % (path, number))
        out.append(line)
    if not out:
        die("%s: no entries" % path)
    return out


def tex_header(path):
    """The leading comment block of a hyph-utf8 .tex file, up to the first
    line that is not a comment; "% =====" rules become "%", runs of "%"
    lines are squeezed and a trailing one dropped; trailing blanks go."""
    lines = []
    blank = False
    for line in read_utf8(path).split("\n"):
        if not line.startswith("%"):
            break
        line = line.rstrip()
        if re.fullmatch(r"% *=+", line):
            line = "%"
        if line == "%":
            blank = True
            continue
        if blank and lines:
            lines.append("%")
        blank = False
        lines.append(line)
    if len(lines) < 5:
        die("%s: no header" % path)
    return lines


def header_block(header, key):
    """The lines of the top-level entry KEY of a hyph-utf8 header (the
    line "% KEY:" and the indented lines after it)."""
    for i, line in enumerate(header):
        if re.fullmatch(r"% " + re.escape(key) + r":.*", line):
            block = [line]
            for more in header[i + 1:]:
                if more != "%" and not re.match(r"%\s{2,}", more):
                    break
                block.append(more)
            return block
    return []


def header_minima(header, path):
    """(left, right) of the header's "hyphenmins": typesetting, else
    generation."""
    block = header_block(header, "hyphenmins")
    found = {}
    part = None
    for line in block[1:]:
        m = re.match(r"%\s+(typesetting|generation):\s*$", line)
        if m:
            part = m.group(1)
            continue
        m = re.match(r"%\s+(left|right):\s*(\d+)", line)
        if m and part:
            found.setdefault(part, {})[m.group(1)] = int(m.group(2))
    for part in ("typesetting", "generation"):
        if part in found and len(found[part]) == 2:
            return found[part]["left"], found[part]["right"]
    die("%s: no hyphenmins in the header" % path)


def header_licence(name, header, path):
    """The licence of a set in short form, from its header."""
    if name in LICENCE_NONE:
        return LICENCE_NONE[name]
    block = header_block(header, "licence")
    if not block:
        die("%s: no licence in the header" % path)
    # Split the block into entries: a list item ("- " or a lone "-") starts
    # one; a header without list items is one entry.
    items = [[]]
    for line in block[1:]:
        body = line[1:].strip()
        if body == "-" or body.startswith("- "):
            items.append([])
            body = body[1:].strip()
        items[-1].append(body)
    licences = []
    for item in items:
        fields = {}
        text = " ".join(item)
        for body in item:
            m = re.match(r"(name|version|or_later):\s*(.*)", body)
            if m:
                fields[m.group(1)] = m.group(2).strip()
        if "name" in fields:
            short = fields["name"]
            short = {"MIT/X11": "MIT", "BSD 3-clause licence": "BSD-3-Clause"}.get(short, short)
            if "version" in fields:
                short += "-" + fields["version"]
            if fields.get("or_later") == "true":
                short += "+"
            licences.append(short)
        elif re.search(r"(^| )text:", text):
            for needle, short in LICENCE_TEXT:
                if needle in text:
                    licences.append(short)
                    break
            else:
                die("%s: licence text not recognised: %s" % (path, text[:60]))
    licences = list(dict.fromkeys(licences))
    if not licences:
        die("%s: licence not recognised" % path)
    return " OR ".join(licences)


def cnf_minima(unpacked, package):
    """pattern file name -> (left, right) from the package's .cnf file."""
    path = os.path.join(unpacked, package, CNF, package + ".cnf")
    minima = {}
    if not os.path.exists(path):
        return minima
    for line in read_utf8(path).split("\n"):
        if line.startswith("#") or not line.strip():
            continue
        fields = dict(re.findall(r"(\w+)=(\S*)", line))
        files = [f for f in fields.get("file_patterns", "").split(",") if f]
        for f in files:
            value = (int(fields["lefthyphenmin"]), int(fields["righthyphenmin"]))
            if minima.get(f, value) != value:
                die("%s: two minima for %s" % (path, f))
            minima[f] = value
    return minima


def check_letters(name, patterns, exceptions):
    """Every pattern is letters and digits with at most a dot at each end;
    no pattern holds a capital; every exception is letters and hyphens."""
    for p in patterns:
        core = p[1:] if p.startswith(".") else p
        core = core[:-1] if core.endswith(".") else core
        if "." in core or re.search(r"[0-9]{2}", p) or not re.search(r"[^0-9.]", p):
            die("%s: odd pattern %r" % (name, p))
        for c in core:
            if unicodedata.category(c) == "Lu":
                die("%s: capital in pattern %r" % (name, p))
    for w in exceptions:
        if re.search(r"[0-9.]|^-|-$|--", w):
            die("%s: odd exception %r" % (name, w))


def main():
    if len(sys.argv) < 4:
        die("usage: make_utf8_sets.py UNPACKED OUT_DIR PACKAGE=VERSION...")
    unpacked, out_dir = sys.argv[1], sys.argv[2]
    versions = dict(arg.split("=", 1) for arg in sys.argv[3:])

    found = {}
    minima_cnf = {}
    for package in sorted(os.listdir(unpacked)):
        if package not in versions:
            die("no version given for %s" % package)
        minima_cnf.update({(package, f): v for f, v in cnf_minima(unpacked, package).items()})
        txt = os.path.join(unpacked, package, HYPH, "txt")
        if not os.path.isdir(txt):
            continue
        for f in sorted(os.listdir(txt)):
            m = re.fullmatch(r"hyph-(.+)\.pat\.txt", f)
            if m:
                if m.group(1) in found:
                    die("%s is in two packages" % f)
                found[m.group(1)] = package
    if sorted(found) != sorted(SETS):
        die("sets found and sets known differ: only found %s, only known %s"
            % (sorted(set(found) - set(SETS)), sorted(set(SETS) - set(found))))
    if len(found) != EXPECTED_SETS:
        die("%d sets, expected %d" % (len(found), EXPECTED_SETS))

    tags_seen = {}
    rows = []
    for name in sorted(SETS):
        language, tags = SETS[name]
        package = found[name]
        version = versions[package]
        base = os.path.join(unpacked, package, HYPH)
        pat_txt = "hyph-%s.pat.txt" % name
        hyp_txt = "hyph-%s.hyp.txt" % name
        tex = "hyph-%s.tex" % name
        pat_path = os.path.join(base, "txt", pat_txt)
        hyp_path = os.path.join(base, "txt", hyp_txt)
        tex_path = os.path.join(base, "tex", tex)

        patterns = entries(pat_path)
        exceptions = entries(hyp_path) if os.path.exists(hyp_path) else []
        check_letters(name, patterns, exceptions)
        header = tex_header(tex_path)

        if (package, pat_txt) in minima_cnf:
            left, right = minima_cnf[(package, pat_txt)]
            minima_from = "cnf"
        else:
            left, right = header_minima(header, tex_path)
            minima_from = "tex"
        licence = header_licence(name, header, tex_path)

        for tag in tags.split(","):
            if tag != tag.lower() or tag in tags_seen:
                die("tag %s is not lower case or names two sets" % tag)
            tags_seen[tag] = name
        if name not in tags_seen:
            die("%s is not among its own tags" % name)

        where = "TEXMF/tex/generic/hyph-utf8/patterns"
        pat_lines = [
            "%% %s.pat - hyphenation patterns for %s (UTF-8)" % (name, language),
            "%",
            "% The lines below up to the source note are the leading comment block",
            "%% of %s (the hyph-utf8 package), which names the authors" % tex,
            "% and gives the copyright and licence of these patterns.",
            "%",
        ] + header + [
            "%",
            "%% This file is a copy of %s of the hyph-utf8 package with" % pat_txt,
            "% this comment block added; the patterns and their order are unchanged.",
            "%",
            "%% Source: Debian package %s, version %s," % (package, version),
            "%%   patterns from %s/txt/%s" % (where, pat_txt),
            "%%   header from %s/tex/%s" % (where, tex),
            "%%   (TEXMF = /%s)" % TEXMF,
            "%% Minima: %d and %d (%s)" % (left, right,
                "Debian's TeX configuration, /%s/%s.cnf" % (CNF, package)
                if minima_from == "cnf" else "the hyphenmins of the header above; "
                "Debian's TeX configuration has no line for this set"),
            "%% Patterns: %d.  Made by scripts/make_utf8_sets.sh of zarnet." % len(patterns),
        ]
        write_utf8(os.path.join(out_dir, name + ".pat"), pat_lines + patterns)
        if exceptions:
            hyp_lines = [
                "%% %s.hyp - hyphenation exceptions for %s (UTF-8)" % (name, language),
                "%",
                "% One word a line; \"-\" marks where it may be broken.  This file is",
                "%% a copy of %s of the hyph-utf8 package with this comment" % hyp_txt,
                "% block added; the words and their order are unchanged.  Authors,",
                "%% copyright and licence are those of the patterns: see %s.pat." % name,
                "%",
                "%% Source: Debian package %s, version %s," % (package, version),
                "%%   file %s/txt/%s (TEXMF = /%s)" % (where, hyp_txt, TEXMF),
                "%% Exceptions: %d.  Made by scripts/make_utf8_sets.sh of zarnet." % len(exceptions),
            ]
            write_utf8(os.path.join(out_dir, name + ".hyp"), hyp_lines + exceptions)
        for field in (language, licence):
            if "\t" in field or "\n" in field:
                die("tab or newline in a field of %s" % name)
        rows.append("\t".join([name, language, str(left), str(right), tags, licence,
                               package, version, str(len(patterns)), str(len(exceptions)),
                               minima_from]))

    write_utf8(os.path.join(out_dir, "sets.tsv"),
               ["\t".join(["name", "language", "left", "right", "tags", "licence",
                           "package", "version", "patterns", "exceptions", "minima_from"])]
               + rows)


if __name__ == "__main__":
    main()
