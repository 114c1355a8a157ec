#!/usr/bin/env python3
"""Converts the hyph-utf8 pattern sets to the single-byte code pages zarnet
reads, folds each set's hyphenation exceptions into it as whole-word
patterns, and writes the alphabets of every set.

Called by scripts/make_patterns.sh, which fetches the pinned Debian packages
and unpacks each into UNPACKED/<package>:

    make_sets.py UNPACKED OUT_DIR PACKAGE=VERSION...

Writes, in OUT_DIR, <set>.pat, <set>.small and <set>.large for every set of
SETS below, the alphabets of the three sets that make_patterns.sh converts
itself (en-us, de-1996, ru), the file "charsets" (set name and iconv name
of its code page, one set a line) and the table of sets between the
markers of OUT_DIR/README.md.  Everything is a function of the input files:
a second run gives the same bytes.
"""

import os
import subprocess
import sys
import unicodedata

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import reference_marks  # noqa: E402

MARK = 0xAC
LINE_MAX = 78
TEXMF = "usr/share/texlive/texmf-dist"
HYPH = TEXMF + "/tex/generic/hyph-utf8"

# Code pages: Python codec, iconv name, name in headers and tables.
CP = {
    "cp1250": ("cp1250", "CP1250", "Windows-1250"),
    "cp1251": ("cp1251", "CP1251", "Windows-1251"),
    "cp1252": ("cp1252", "CP1252", "Windows-1252"),
    "cp1254": ("cp1254", "CP1254", "Windows-1254"),
    "cp1257": ("cp1257", "CP1257", "Windows-1257"),
}
REASON = {
    "cp1250": "Windows code page of Central European languages",
    "cp1251": "Windows code page of Cyrillic languages",
    "cp1252": "Windows code page of Western European languages",
    "cp1254": "Windows code page of Turkish",
    "cp1257": "Windows code page of the Baltic languages",
}

# set name: (hyph-utf8 tag, language, code page, note on the choice)
SETS = {
    "af": ("af", "Afrikaans", "cp1252", "needs ’ (0x92), which ISO-8859-1 lacks"),
    "be": ("be", "Belarusian", "cp1251", "ў and ’ are in it"),
    "bg": ("bg", "Bulgarian", "cp1251", ""),
    "ca": ("ca", "Catalan", "cp1252", ""),
    "cs": ("cs", "Czech", "cp1250", ""),
    "cy": ("cy", "Welsh", "cp1252", ""),
    "da": ("da", "Danish", "cp1252", ""),
    "de-1901": ("de-1901", "German, traditional spelling", "cp1252", ""),
    "de-ch-1901": ("de-ch-1901", "Swiss German, traditional spelling", "cp1252", ""),
    "en-gb": ("en-gb", "British English", "cp1252", "the letters are ASCII"),
    "en-us-hyphutf8": ("en-us", "US English (hyph-utf8's set, with exceptions)", "cp1252",
                       "the letters are ASCII"),
    "es": ("es", "Spanish", "cp1252", ""),
    "et": ("et", "Estonian", "cp1257", "Windows' code page for Estonian"),
    "eu": ("eu", "Basque", "cp1252", ""),
    "fi": ("fi", "Finnish", "cp1252", ""),
    "fi-x-school": ("fi-x-school", "Finnish, school hyphenation", "cp1252", "š ž at 0x9A 0x9E"),
    "fr": ("fr", "French", "cp1252", "needs œ and ’, which ISO-8859-1 lacks"),
    "fur": ("fur", "Friulian", "cp1252", "needs ’"),
    "ga": ("ga", "Irish", "cp1252", ""),
    "gl": ("gl", "Galician", "cp1252", ""),
    "hr": ("hr", "Croatian", "cp1250", ""),
    "hsb": ("hsb", "Upper Sorbian", "cp1250", ""),
    "hu": ("hu", "Hungarian", "cp1250", "ő ű are in it"),
    "ia": ("ia", "Interlingua", "cp1252", "the letters are ASCII"),
    "id": ("id", "Indonesian", "cp1252", "the letters are ASCII"),
    "is": ("is", "Icelandic", "cp1252", ""),
    "it": ("it", "Italian", "cp1252", "needs ’"),
    "kmr": ("kmr", "Kurmanji (Northern Kurdish)", "cp1254", "ş is in it"),
    "la": ("la", "Latin (modern)", "cp1252", "needs œ"),
    "lt": ("lt", "Lithuanian", "cp1257", ""),
    "lv": ("lv", "Latvian", "cp1257", ""),
    "mk": ("mk", "Macedonian", "cp1251", ""),
    "nb": ("nb", "Norwegian Bokmål", "cp1252", ""),
    "nl": ("nl", "Dutch", "cp1252", ""),
    "nn": ("nn", "Norwegian Nynorsk", "cp1252", ""),
    "oc": ("oc", "Occitan", "cp1252", "needs ’"),
    "pl": ("pl", "Polish", "cp1250", ""),
    "pms": ("pms", "Piedmontese", "cp1252", "needs ’"),
    "pt": ("pt", "Portuguese", "cp1252", ""),
    "rm": ("rm", "Romansh", "cp1252", "needs ’"),
    "ro": ("ro", "Romanian", "cp1250",
           "ș ț (comma below) are written ş ţ (cedilla), as Windows-1250 users do"),
    "ru-hyphutf8": ("ru", "Russian (with hyph-utf8's exceptions)", "cp1251", ""),
    "sh-cyrl": ("sh-cyrl", "Serbo-Croatian, Cyrillic", "cp1251", ""),
    "sh-latn": ("sh-latn", "Serbo-Croatian, Latin", "cp1250", ""),
    "sk": ("sk", "Slovak", "cp1250", ""),
    "sl": ("sl", "Slovenian", "cp1250", ""),
    "sr-cyrl": ("sr-cyrl", "Serbian, Cyrillic", "cp1251", ""),
    "sv": ("sv", "Swedish", "cp1252", ""),
    "tk": ("tk", "Turkmen", "cp1250", "Windows' code page for Turkmen (Latin)"),
    "tr": ("tr", "Turkish", "cp1254", "ğ ı ş İ are in it"),
    "uk": ("uk", "Ukrainian", "cp1251", "є і ї ґ and ’ are in it"),
}

# Letters written with a legacy substitute in the chosen code page.
SUBSTITUTES = {"ro": {"ș": "ş", "ț": "ţ", "Ș": "Ş", "Ț": "Ţ"}}
# Capitals that differ from Unicode's default upper case.
CAPITALS = {"tr": {"i": "İ", "ı": "I"}}

# The hyph-utf8 sets that are not converted, and why.
LEFT_OUT = [
    ("as bn gu hi kn ml mr or pa sa ta te",
     "Indic scripts: no Windows or ISO-8859 code page holds them"),
    ("th", "Thai: TIS-620 and Windows-874 hold it, but 0xAC is the letter ฬ there"),
    ("hy ka mul-ethi cop", "Armenian, Georgian, Ethiopic, Coptic: no such code page"),
    ("el-monoton el-polyton grc",
     "Greek: the patterns use ϲ (lunate sigma) and the apostrophes ʼ ᾽ ᾿, which "
     "Windows-1253 and ISO-8859-7 lack (the polytonic sets also all accents)"),
    ("eo", "Esperanto: ĉ ĝ ĥ ĵ ŝ ŭ are only in ISO-8859-3, where 0xAC is Ĵ"),
    ("cu", "Church Slavonic: letters such as ѣ ѧ ѡ and combining marks Windows-1251 lacks"),
    ("mn-cyrl", "Mongolian: ү ө are not in Windows-1251"),
    ("la-x-classic la-x-liturgic",
     "Latin with quantities or accents: ā ă ... ǽ and combining marks are in no such code page"),
    ("pi", "Pali: ā ī ū ḍ ḷ ṃ ... are in no such code page"),
    ("zh-latn-pinyin", "Pinyin: tone marks ǎ ǐ ǒ ǖ ... are in no such code page"),
]


def die(message):
    sys.stderr.write("make_sets.py: %s\n" % message)
    sys.exit(1)


def read_utf8(path):
    with open(path, "rb") as f:
        data = f.read()
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError as e:
        die("%s: not UTF-8 (%s)" % (path, e))
    if "\r" in text:
        die("%s: CR in the file" % path)
    return text


def encode_strict(text, codec, what):
    """text in the code page; fails on any character it lacks and checks the
    round trip."""
    try:
        data = text.encode(codec)
    except UnicodeEncodeError as e:
        die("%s: %r has no place in %s" % (what, e.object[e.start:e.end], codec))
    if data.decode(codec) != text:
        die("%s: conversion to %s does not round-trip" % (what, codec))
    return data


def encode_comment(text, codec):
    """A comment line in the code page: a character the code page lacks is
    written without its accents when that is enough, else as <U+XXXX>."""
    out = []
    for ch in text:
        try:
            out.append(ch.encode(codec))
            continue
        except UnicodeEncodeError:
            pass
        base = "".join(c for c in unicodedata.normalize("NFKD", ch)
                       if not unicodedata.combining(c))
        try:
            if base:
                out.append(base.encode(codec))
                continue
        except UnicodeEncodeError:
            pass
        out.append(("<U+%04X>" % ord(ch)).encode("ascii"))
    data = b"".join(out)
    if MARK in data:
        # a ¬ in a comment is harmless, but keep the files free of the mark
        data = data.replace(bytes([MARK]), b"<U+00AC>")
    return data


def tex_header(path):
    """The leading comment block of a hyph-utf8 .tex file, as
    make_patterns.sh takes it: up to the first line that is not a comment,
    "% =====" rules become "%", runs of "%" lines are squeezed and a
    trailing one dropped."""
    lines = []
    blank = False
    for line in read_utf8(path).split("\n"):
        if not line.startswith("%"):
            break
        if line.rstrip("=").rstrip(" ") == "%" and "=" in line:
            line = "%"
        if line == "%":
            blank = True
            continue
        if blank and lines:
            lines.append("%")
        blank = False
        lines.append(line)
    return lines


def wrap78(line):
    """Wraps a comment line (bytes) longer than 78 bytes at spaces (a URL
    without spaces after one of "/?;&"), as make_patterns.sh does."""
    if len(line) <= LINE_MAX:
        return [line]
    if not line.startswith(b"%"):
        die("unwrappable line: %r" % line)
    lead = 1
    while lead < len(line) and line[lead:lead + 1] == b" ":
        lead += 1
    indent = line[1:lead] + b"  "
    out = []
    while len(line) > LINE_MAX:
        cut = 0
        for i in range(LINE_MAX, lead, -1):          # 0-based index of a space
            if line[i:i + 1] == b" ":
                cut = i
                break
        if cut == 0:
            for i in range(LINE_MAX - 1, lead, -1):
                if line[i:i + 1] in (b"/", b"?", b";", b"&"):
                    cut = i + 1
                    break
            if cut == 0:
                die("unwrappable line: %r" % line)
            out.append(line[:cut])
            line = b"%" + indent + line[cut:]
            lead = 1 + len(indent)
            continue
        out.append(line[:cut].rstrip(b" "))
        line = b"%" + indent + line[cut + 1:].lstrip(b" ")
        lead = 1 + len(indent)
    out.append(line)
    return out


def pattern_letters(line):
    return bytes(b for b in line if not 0x30 <= b <= 0x39)


def capital_of(ch, name, codec):
    special = CAPITALS.get(name, {})
    cap = special.get(ch, ch.upper())
    if len(cap) != 1 or cap == ch:
        return None
    try:
        cap.encode(codec)
    except UnicodeEncodeError:
        return None
    if cap.lower() != ch and ch not in special:
        return None
    return cap


def alphabets(letters, name, codec):
    """small and large alphabets of a set of letters (str): the letters that
    have a capital in the code page in code-point order, then those without
    one (ß, apostrophes, the hyphen), so the large alphabet may be shorter."""
    paired = sorted((c for c in letters if capital_of(c, name, codec)), key=ord)
    single = sorted((c for c in letters if not capital_of(c, name, codec)), key=ord)
    small = "".join(paired + single)
    large = "".join(capital_of(c, name, codec) for c in paired)
    small_b = encode_strict(small, codec, name + " alphabet")
    large_b = encode_strict(large, codec, name + " alphabet")
    if len(set(small_b + large_b)) != len(small_b) + len(large_b):
        die("%s: a byte twice in the alphabets" % name)
    if MARK in small_b + large_b:
        die("%s: 0xAC would be a letter" % name)
    return small_b, large_b


def fold_exceptions(name, words, patterns_bytes, small, large):
    """Whole-word patterns of the exceptions (list of (word, hyphenated) in
    the code page) and the list of those left out with the reason."""
    marker = reference_marks.Marker(reference_marks.load_patterns(patterns_bytes),
                                    small, large)
    kept, dropped, seen = [], [], {}
    for word, hyphenated in words:
        letters = bytearray()
        breaks = set()
        for b in hyphenated:
            if b == 0x2D:
                breaks.add(len(letters))
            else:
                letters.append(marker.fold[b])
        letters = bytes(letters)
        if any(b not in small for b in letters):
            dropped.append((word, "a character that is not a letter of the set"))
            continue
        if 0 in breaks or len(letters) in breaks:
            dropped.append((word, "a break at the start or end of the word"))
            continue
        if letters in seen:
            if seen[letters] != breaks:
                dropped.append((word, "listed twice with different breaks"))
            else:
                dropped.append((word, "listed twice"))
            continue
        line = bytearray(b".")
        for k, b in enumerate(letters):
            if k:
                line += b"9" if k in breaks else b"8"
            line.append(b)
        line += b"."
        if len(line) > LINE_MAX:
            dropped.append((word, "the line would pass 78 bytes"))
            continue
        gaps = marker.gaps(letters)
        # gap in front of framed byte k + 1 is the gap after letter k - 1
        vetoed = [k for k in range(1, len(letters)) if k not in breaks and gaps[k + 1] == 9]
        if vetoed:
            dropped.append((word, "a pattern of the set puts 9 where the word has no break"))
            continue
        seen[letters] = breaks
        kept.append((bytes(line), letters, breaks))
    return kept, dropped


def convert_set(name, unpacked, versions, out):
    tag, language, cp, note = SETS[name]
    codec, iconv_name, cp_name = CP[cp]
    package, base = None, None
    for pkg in sorted(versions):
        if os.path.exists(os.path.join(unpacked, pkg, HYPH, "patterns/txt/hyph-%s.pat.txt" % tag)):
            package, base = pkg, os.path.join(unpacked, pkg)
    if package is None:
        die("hyph-%s.pat.txt is in none of the packages" % tag)
    pat_rel = HYPH + "/patterns/txt/hyph-%s.pat.txt" % tag
    hyp_rel = HYPH + "/patterns/txt/hyph-%s.hyp.txt" % tag
    tex_rel = HYPH + "/patterns/tex/hyph-%s.tex" % tag
    subst = SUBSTITUTES.get(name, {})

    def substitute(text):
        for a, b in subst.items():
            text = text.replace(a, b)
        return text

    source = read_utf8(os.path.join(base, pat_rel))
    if not source.endswith("\n"):
        die("%s: no newline at the end" % pat_rel)
    lines = source[:-1].split("\n")
    pats = []
    for line in lines:
        if not line or any(ord(c) <= 0x20 for c in line) or line.startswith("%"):
            die("%s: unexpected line %r" % (pat_rel, line))
        data = encode_strict(substitute(line), codec, "%s: %r" % (pat_rel, line))
        if len(data) > LINE_MAX:
            die("%s: pattern of %d bytes" % (pat_rel, len(data)))
        pats.append(data)
    seen = {}
    for p in pats:
        key = pattern_letters(p)
        if key in seen:
            die("%s: two patterns with the letters %r" % (name, key))
        seen[key] = p

    words = []
    hyp_path = os.path.join(base, hyp_rel)
    has_hyp = os.path.exists(hyp_path)
    if has_hyp:
        for line in read_utf8(hyp_path).split("\n"):
            line = line.strip()
            if not line or line.startswith("%"):
                continue
            word = substitute(line.lower() if name not in CAPITALS else line)
            words.append((line, encode_strict(word, codec, "%s: %r" % (hyp_rel, line))))

    letters = set()
    for p in pats:
        letters |= set(pattern_letters(p).decode(codec))
    for _, w in words:
        letters |= set(w.decode(codec))
    letters -= {".", "-"} if not any(b"-" in p for p in pats) else {"."}
    small, large = alphabets(letters, name, codec)

    kept, dropped = fold_exceptions(name, words, b"\n".join(pats) + b"\n", small, large)

    def rel(path):
        return path.replace(HYPH + "/", "TEXMF/tex/generic/hyph-utf8/")

    head = [
        "%% %s.pat - hyphenation patterns for %s (%s)" % (name, language, cp_name),
        "%",
        "%% The lines below up to the source note are the header of hyph-%s.tex" % tag,
        "% (the hyph-utf8 package), carrying the authors, copyright and licence of",
        "% these patterns.  Long lines have been wrapped; a character that",
        "%% %s lacks is written without its accents or as <U+XXXX>." % cp_name,
        "%",
    ]
    head += tex_header(os.path.join(base, tex_rel))
    head += [
        "%",
        "%% Source: Debian package %s, version %s," % (package, versions[package]),
        "%%   patterns from file %s" % rel(pat_rel),
    ]
    if has_hyp:
        head.append("%%   exceptions from file %s" % rel(hyp_rel))
    head += [
        "%%   header from file %s" % rel(tex_rel),
        "%%   (TEXMF = %s)" % TEXMF,
        "%% Conversion: the %d patterns are copied in their original order," % len(pats),
        "%%   converted from UTF-8 to %s (no character lost)." % cp_name,
    ]
    if subst:
        head += ["%%   Substituted: %s (which %s lacks) by %s, as its users write them."
                 % (" ".join("U+%04X" % ord(a) for a in subst), cp_name,
                    " ".join(subst[a] for a in subst))]
    if has_hyp:
        head += [
            "%% Exceptions: %d (of the %d words of hyph-%s.hyp.txt) follow the"
            % (len(kept), len(words), tag),
            "%   patterns, each as a whole-word pattern with 9 where the word may be",
            "%   broken and 8 in every other gap (.t8a9b8l8e. for ta-ble), so it gets",
            "%   exactly those breaks (none within two letters of either end).",
        ]
        if dropped:
            head.append("%%   Left out (%d):" % len(dropped))
            head += ["%%     %s: %s" % (w, why) for w, why in dropped]
    else:
        head.append("% Exceptions: 0 (the set has no exception list).")
    head += [
        "%% Alphabets: %s.small and %s.large beside this file." % (name, name),
        "% Made by scripts/make_patterns.sh of zarnet.",
    ]
    body = []
    for line in head:
        body += wrap78(encode_comment(line, codec))
    for line in body:
        if not line.startswith(b"%") or len(line) > LINE_MAX:
            die("%s: bad comment line %r" % (name, line))
    body += pats
    body += [k[0] for k in kept]
    data = b"\n".join(body) + b"\n"

    # The same bytes through iconv, which the UTF-8 pipeline uses.
    back = subprocess.run(["iconv", "-f", iconv_name, "-t", "UTF-8"], input=data,
                          capture_output=True, check=True).stdout
    if back.decode("utf-8") != data.decode(codec):
        die("%s: iconv reads the file differently" % name)

    # Every kept exception gets exactly its breaks from the finished file.
    marker = reference_marks.Marker(reference_marks.load_patterns(data), small, large)
    for _, word, breaks in kept:
        want = sorted(k - 1 for k in breaks if 2 <= k <= len(word) - 2)
        if marker.breaks(word) != want:
            die("%s: exception %r gets %r" % (name, word, marker.breaks(word)))

    for suffix, content in ((".pat", data), (".small", small), (".large", large)):
        with open(os.path.join(out, name + suffix), "wb") as f:
            f.write(content)
    return {
        "name": name, "language": language, "cp": cp, "note": note, "patterns": len(pats),
        "exceptions": len(kept), "listed": len(words), "dropped": dropped,
        "package": package, "version": versions[package], "tag": tag,
        "has_hyp": has_hyp, "licence": licence_of(tag),
    }


# The licence each header states, in short, for the table (the headers
# carry the full notices).
LICENCE = {
    "af": "LPPL 1.3+", "be": "MIT", "bg": "BSD-like (own notice)", "ca": "LPPL 1+",
    "cs": "GPL 2+", "cy": "LPPL 1.0+ or MIT", "da": "LPPL 1.3+ or MIT",
    "de-1901": "MIT", "de-ch-1901": "MIT", "en-gb": "MIT",
    "en-us": "copying and distribution permitted (own notice)", "es": "MIT/X11",
    "et": "MIT or LPPL 1.3+", "eu": "MIT-like (own notice)",
    "fi": "\"Patterns may be freely distributed\"", "fi-x-school": "MIT",
    "fr": "MIT", "fur": "MIT or LPPL 1.3+", "ga": "GPL 2+ or MIT", "gl": "LPPL 1.3",
    "hr": "LPPL 1+", "hsb": "LPPL 1.3+", "hu": "MPL 1.1, GPL 2.0 or LGPL 2.1",
    "ia": "LPPL 1.3", "id": "GPL 2", "is": "LPPL 1.2+", "it": "LPPL 1.3+ or MIT",
    "kmr": "LPPL 1.3", "la": "MIT or LPPL 1+", "lt": "MIT", "lv": "LGPL 2.1 or GPL 2+",
    "mk": "GPL", "nb": "copying and distribution permitted (own notice)",
    "nl": "LPPL 1+", "nn": "copying and distribution permitted (own notice)",
    "oc": "MIT or LPPL 1+", "pl": "MIT", "pms": "MIT or LPPL 1.3+",
    "pt": "BSD 3-clause", "rm": "MIT or LPPL 1.3+",
    "ro": "none stated (\"[None]\"); shipped in TeX Live and Debian main",
    "ru": "LPPL 1.2+", "sh-cyrl": "LPPL 1+", "sh-latn": "LPPL 1+", "sk": "GPL 2+",
    "sl": "LPPL 1+ or MIT", "sr-cyrl": "GPL", "sv": "LPPL 1.2+", "tk": "MIT",
    "tr": "LPPL 1+", "uk": "LPPL",
}


# The three sets converted by make_patterns.sh itself, first shipped
# without exceptions and kept byte for byte.
FIXED_ROWS = [
    ("en-us", "US English (Knuth's original patterns)", "ASCII",
     "the letters are ASCII; texts in Windows-1252 or any ASCII superset",
     "`texlive-base` 2022.20230122-3, `hyphen.tex` (the `\\patterns` group only)",
     "Knuth's notice: copying unlimited; changed versions under another name only"),
    ("de-1996", "German, reformed spelling", "ISO-8859-1",
     "the letters are the same bytes in Windows-1252",
     "`texlive-lang-german` 2022.20230122-1, `hyph-de-1996`", "MIT"),
    ("ru", "Russian", "Windows-1251", REASON["cp1251"],
     "`texlive-lang-cyrillic` 2022.20230122-1, `hyph-ru` (its exceptions are in `ru-hyphutf8.pat`)",
     "LPPL 1.2+"),
]


def licence_of(tag):
    return LICENCE[tag]


def table_rows(infos):
    rows = []
    for i in infos:
        codec, iconv_name, cp_name = CP[i["cp"]]
        reason = REASON[i["cp"]] + ("; " + i["note"] if i["note"] else "")
        exc = "%d of %d" % (i["exceptions"], i["listed"]) if i["has_hyp"] else "0 (no list)"
        rows.append("| `%s.pat` | %s | %s | %s | %d | %s | `%s` %s, `hyph-%s` | %s |"
                    % (i["name"], i["language"], cp_name, reason, i["patterns"], exc,
                       i["package"], i["version"], i["tag"], i["licence"]))
    return rows


def main(argv):
    if len(argv) < 4:
        sys.stderr.write(__doc__)
        return 2
    unpacked, out = argv[1], argv[2]
    versions = dict(a.split("=", 1) for a in argv[3:])
    infos = [convert_set(name, unpacked, versions, out) for name in sorted(SETS)]

    # Alphabets of the three sets that make_patterns.sh converts itself.
    fixed = {"en-us": "cp1252", "de-1996": "cp1252", "ru": "cp1251"}
    for name, cp in fixed.items():
        with open(os.path.join(out, name + ".pat"), "rb") as f:
            data = f.read()
        letters = set()
        for line in data.split(b"\n"):
            if line and not line.startswith(b"%"):
                letters |= set(pattern_letters(line).decode(CP[cp][0]))
        letters.discard(".")
        small, large = alphabets(letters, name, CP[cp][0])
        for suffix, content in ((".small", small), (".large", large)):
            with open(os.path.join(out, name + suffix), "wb") as f:
                f.write(content)

    charsets = {"en-us": "CP1252", "de-1996": "ISO-8859-1", "ru": "CP1251"}
    for i in infos:
        charsets[i["name"]] = CP[i["cp"]][1]
    with open(os.path.join(out, "charsets"), "w", encoding="ascii", newline="\n") as f:
        f.write("# set  iconv name of its code page\n")
        for name in sorted(charsets):
            f.write("%s %s\n" % (name, charsets[name]))

    readme = os.path.join(out, "README.md")
    with open(readme, encoding="utf-8") as f:
        text = f.read()
    begin, end = "<!-- sets: made by make_sets.py -->\n", "<!-- end of sets -->\n"
    if begin not in text or end not in text:
        die("README.md lacks the markers of the table")
    head = ("| file | language | encoding | why this encoding | patterns | exceptions "
            "| source (Debian 12 package, version, hyph-utf8 set) | licence |\n"
            "| --- | --- | --- | --- | ---: | --- | --- | --- |\n")
    fixed_rows = []
    for name, language, cp_name, why, src, licence in FIXED_ROWS:
        with open(os.path.join(out, name + ".pat"), "rb") as f:
            count = sum(1 for line in f.read().split(b"\n") if line and not line.startswith(b"%"))
        fixed_rows.append("| `%s.pat` | %s | %s | %s | %d | 0 (kept as first shipped) | %s | %s |"
                          % (name, language, cp_name, why, count, src, licence))
    rows = head + "\n".join(fixed_rows + table_rows(infos)) + "\n"
    left = "\n".join("| %s | %s |" % (" ".join("`%s`" % t for t in tags.split()), why)
                     for tags, why in LEFT_OUT) + "\n"
    dropped = []
    for i in infos:
        for word, why in i["dropped"]:
            dropped.append("| `%s` | %s | %s |" % (i["name"], word, why))
    block = (begin + rows + "\nLeft out:\n\n| hyph-utf8 sets | why |\n| --- | --- |\n" + left
             + ("\nExceptions left out:\n\n| set | word | why |\n| --- | --- | --- |\n"
                + "\n".join(dropped) + "\n" if dropped else
                "\nExceptions left out: none; every set carries all of its list.\n")
             + end)
    start = text.index(begin)
    stop = text.index(end) + len(end)
    with open(readme, "w", encoding="utf-8", newline="\n") as f:
        f.write(text[:start] + block + text[stop:])
    for i in infos:
        print("%s: %d patterns, %d exceptions, %d left out"
              % (i["name"], i["patterns"], i["exceptions"], len(i["dropped"])))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
