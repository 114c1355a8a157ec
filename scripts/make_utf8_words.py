#!/usr/bin/env python3
"""Cuts real words in the language of every UTF-8 pattern set out of
translations shipped in Debian.

Called by scripts/make_utf8_words.sh, which unpacks the pinned packages
into UNPACKED:

    make_utf8_words.py UNPACKED SETS_DIR OUT_DIR PACKAGE=VERSION...

SETS_DIR is patterns/utf8/.  Writes OUT_DIR/<set>.words for every set with
a source, and OUT_DIR/SOURCES.md.

The letters of a set are the characters of its patterns (less the digits
and ".") and of its exceptions (less "-"), and every character whose simple
lower-case mapping (UnicodeData.txt) is one of them: its capitals.  The
hyphen is no letter.  A word is a run of letters in a source text after
NFC normalisation.  Words shorter than the set's two minima together (which
TeX never breaks but by an exception) are left out.  Of the rest, the most
frequent are taken, ties broken by the SHA-1 of the word (a fixed order
that mixes the alphabet), up to MAX_WORDS; they are written in code-point
order, one a line.

Sources, per set (SOURCES below):
  iso:LL       the translations (msgstr) of iso-codes' catalogues
               usr/share/locale/LL/LC_MESSAGES/iso_*.mo, less those equal to
               their English original
  isoen        the English names of iso-codes (the msgids; from its JSON
               files, which hold the same strings)
  isocn        the names of the subdivisions of China in iso-codes'
               ISO 3166-2 (in pinyin), less Hong Kong and Macao
  cldr:LL      the names in CLDR's locale LL (unicode-cldr-core,
               common/main/LL.xml): languages, scripts, territories, wide
               month and day names, fields, units, currencies
  babel:FILE   the captions, wide month and day names and own name of the
               language in babel's locale FILE (texlive-latex-base,
               tex/generic/babel/locale/)
  pinyin       the readings of xpinyin's database (texlive-lang-chinese,
               xpinyin-database.def), each reading a word, counted by the
               number of characters that have it
  exceptions   the set's own exceptions, without their hyphens
"""

import hashlib
import json
import os
import re
import struct
import sys
import unicodedata
import xml.etree.ElementTree as ET

MAX_WORDS = 400
UNICODE_DATA = "usr/share/unicode/UnicodeData.txt"
LOCALE = "usr/share/locale"
ISO_JSON = "usr/share/iso-codes/json"
CLDR_MAIN = "usr/share/unicode/cldr/common/main"
BABEL = "usr/share/texlive/texmf-dist/tex/generic/babel/locale"
XPINYIN = "usr/share/texlive/texmf-dist/tex/latex/xpinyin/xpinyin-database.def"

ETHIOPIC = ["iso:am", "iso:ti", "iso:gez", "iso:tig", "iso:byn", "iso:wal"]

# set -> its sources, best first.  A set missing here has no source.
SOURCES = {
    "af": ["iso:af"], "as": ["iso:as"], "be": ["iso:be"], "bg": ["iso:bg"],
    "bn": ["iso:bn"], "ca": ["iso:ca"],
    "cop": ["babel:cop/babel-cop.ini"],
    "cs": ["iso:cs"],
    "cu": ["babel:cu/babel-cu-Cyrs.ini", "exceptions"],
    "cy": ["iso:cy"], "da": ["iso:da"],
    "de-1901": ["iso:de"], "de-1996": ["iso:de"], "de-ch-1901": ["iso:de"],
    "el-monoton": ["iso:el"],
    "el-polyton": ["iso:el", "babel:el/babel-el-polyton.ini"],
    "en-gb": ["isoen"], "en-us": ["isoen"],
    "eo": ["iso:eo"], "es": ["iso:es"], "et": ["iso:et"], "eu": ["iso:eu"],
    "fi": ["iso:fi"], "fi-x-school": ["iso:fi"], "fr": ["iso:fr"],
    "fur": ["iso:fur"], "ga": ["iso:ga"], "gl": ["iso:gl"],
    "grc": ["babel:grc/babel-grc.ini"],
    "gu": ["iso:gu"], "hi": ["iso:hi"], "hr": ["iso:hr"],
    "hsb": ["cldr:hsb"],
    "hu": ["iso:hu"], "hy": ["iso:hy"], "ia": ["iso:ia"], "id": ["iso:id"],
    "is": ["iso:is"], "it": ["iso:it"], "ka": ["iso:ka"], "kmr": ["iso:kmr"],
    "kn": ["iso:kn"],
    "la": ["babel:la/babel-la.ini"],
    "la-x-classic": ["babel:la/babel-la-x-classic.ini"],
    "la-x-liturgic": ["babel:la/babel-la-x-ecclesia.ini"],
    "lt": ["iso:lt"], "lv": ["iso:lv"], "mk": ["iso:mk"], "ml": ["iso:ml"],
    "mn-cyrl": ["iso:mn"], "mr": ["iso:mr"],
    "mul-ethi": ETHIOPIC,
    "nb": ["iso:nb", "iso:nb_NO"], "nl": ["iso:nl"], "nn": ["iso:nn"],
    "oc": ["iso:oc"], "or": ["iso:or"], "pa": ["iso:pa"],
    "pl": ["iso:pl"],
    "pms": ["babel:pms/babel-pms.ini"],
    "pt": ["iso:pt"],
    "rm": ["cldr:rm"],
    "ro": ["iso:ro"], "ru": ["iso:ru"],
    "sa": ["cldr:sa"],
    "sh-cyrl": ["iso:sr"], "sh-latn": ["iso:sr@latin"], "sk": ["iso:sk"],
    "sl": ["iso:sl"], "sr-cyrl": ["iso:sr"], "sv": ["iso:sv"], "ta": ["iso:ta"],
    "te": ["iso:te"], "th": ["iso:th"], "tk": ["iso:tk"], "tr": ["iso:tr"],
    "uk": ["iso:uk"],
    "zh-latn-pinyin": ["isocn", "pinyin"],
}

# Why a set has no words, or what to keep in mind about its words.
NOTES = {
    "pi": "no source: iso-codes' Pali (pi) is written in Devanagari, but the "
          "patterns are for Pali in Latin letters; no Pali text in Latin "
          "letters is shipped in Debian 12 (CLDR and babel have no Pali), and "
          "the set has no exceptions.",
    "sa": "CLDR's Sanskrit (Devanagari) only: few names; the set's other "
          "scripts (Bengali, Gujarati, Kannada, Malayalam, Telugu, Latin) have "
          "no Sanskrit source.",
    "cop": "babel's Coptic month names only (iso-codes and CLDR have no Coptic).",
    "cu": "babel's Church Slavonic captions and month names, and the set's "
          "exceptions (iso-codes and CLDR have no Church Slavonic).",
    "grc": "babel's Ancient Greek captions and month names only.",
    "la": "babel's Latin captions and month names only (iso-codes and CLDR "
          "have no Latin).",
    "la-x-classic": "babel's classical Latin captions and month names only.",
    "la-x-liturgic": "babel's ecclesiastical Latin captions and month names only.",
    "pms": "babel's Piedmontese captions and month names only.",
    "de-1901": "modern German spelling (iso-codes has no traditional spelling).",
    "de-ch-1901": "German of Germany, modern spelling (iso-codes has no Swiss "
                  "German of its own).",
    "el-polyton": "mostly monotonic Modern Greek (iso-codes), with babel's "
                  "polytonic captions.",
    "en-gb": "the English names of iso-codes, whose spelling is mostly American.",
    "fi-x-school": "the same Finnish words as fi.",
    "sh-cyrl": "Serbian in Cyrillic (iso-codes' sr), as sr-cyrl.",
    "sh-latn": "Serbian in Latin letters (iso-codes' sr@latin).",
    "mul-ethi": "Amharic, Tigrinya, Ge'ez, Tigre, Blin and Wolaytta (iso-codes).",
    "th": "Thai is written without spaces: a \"word\" here is a run of Thai "
          "letters, often several words.",
    "zh-latn-pinyin": "pinyin place names (without tone marks) and single "
                      "syllables with tone marks: Debian ships no running "
                      "pinyin text.",
}


def die(message):
    sys.stderr.write("make_utf8_words.py: %s\n" % message)
    sys.exit(1)


def read_text(path):
    with open(path, "rb") as f:
        return f.read().decode("utf-8")


def lower_map(unpacked):
    """code point -> simple lower-case mapping, from UnicodeData.txt."""
    lower = {}
    for line in read_text(os.path.join(unpacked, UNICODE_DATA)).split("\n"):
        fields = line.split(";")
        if len(fields) > 13 and fields[13]:
            lower[int(fields[0], 16)] = int(fields[13], 16)
    return lower


def set_entries(path):
    return [l for l in read_text(path).split("\n") if l and not l.startswith("%")]


def letters_of(patterns, exceptions, lower):
    """All letters of a set: its own characters and their capitals (as
    scripts/tex_reference/tex_breaks.lua takes them)."""
    raw = set()
    for p in patterns:
        raw.update(ord(c) for c in p if not ("0" <= c <= "9") and c not in ".-")
    for w in exceptions:
        raw.update(ord(c) for c in w if c != "-")
    base = {c for c in raw if not (c in lower and lower[c] in raw)}
    letters = set(raw)
    letters.update(x for x, l in lower.items() if l in base)
    return {chr(c) for c in letters}


def mo_strings(path):
    """(msgid, msgstr) of every entry of a .mo file but the header."""
    with open(path, "rb") as f:
        data = f.read()
    magic = struct.unpack("<I", data[:4])[0]
    order = "<" if magic == 0x950412DE else ">" if magic == 0xDE120495 else None
    if order is None:
        die("%s: not a .mo file" % path)
    count, ids_at, strs_at = struct.unpack(order + "III", data[8:20])
    pairs = []
    for i in range(count):
        n, at = struct.unpack(order + "II", data[ids_at + 8 * i: ids_at + 8 * i + 8])
        msgid = data[at:at + n].decode("utf-8")
        n, at = struct.unpack(order + "II", data[strs_at + 8 * i: strs_at + 8 * i + 8])
        msgstr = data[at:at + n].decode("utf-8")
        if msgid == "":
            continue
        msgid = msgid.split("\x04")[-1]
        pairs.append((msgid, msgstr))
    return pairs


def iso_texts(unpacked, locale):
    folder = os.path.join(unpacked, LOCALE, locale, "LC_MESSAGES")
    if not os.path.isdir(folder):
        die("iso-codes has no locale %s" % locale)
    texts = []
    for f in sorted(os.listdir(folder)):
        path = os.path.join(folder, f)
        if not re.fullmatch(r"iso_.*\.mo", f) or os.path.islink(path):
            continue
        for msgid, msgstr in mo_strings(path):
            for form in msgstr.split("\0"):
                if form and form != msgid.split("\0")[0]:
                    texts.append(form)
    return texts


def iso_json(unpacked):
    """name -> (file, entry) for every entry of iso-codes' JSON files."""
    folder = os.path.join(unpacked, ISO_JSON)
    for f in sorted(os.listdir(folder)):
        if not re.fullmatch(r"iso_[0-9-]+\.json", f):
            continue
        data = json.loads(read_text(os.path.join(folder, f)))
        for key in sorted(data):
            for entry in data[key]:
                yield f, entry


def isoen_texts(unpacked):
    texts = []
    for _, entry in iso_json(unpacked):
        for field in ("name", "official_name", "common_name", "inverted_name"):
            if field in entry:
                texts.append(entry[field])
    return texts


def isocn_texts(unpacked):
    return [entry["name"] for f, entry in iso_json(unpacked)
            if f == "iso_3166-2.json" and entry["code"].startswith("CN-")
            and entry["code"] not in ("CN-HK", "CN-MO")]


CLDR_TAGS = {"language", "script", "territory", "variant", "key", "type", "month", "day",
             "quarter", "dayPeriod", "era", "displayName", "relative", "unitPattern",
             "measurementSystemName", "exemplarCity"}
CLDR_SHORT = {"abbreviated", "narrow", "short"}


def cldr_texts(unpacked, locale):
    path = os.path.join(unpacked, CLDR_MAIN, locale + ".xml")
    if not os.path.exists(path):
        die("CLDR has no locale %s" % locale)
    texts = []

    def walk(element, short):
        tag = element.tag
        if tag.endswith("Width") or tag.endswith("Length"):
            short = short or element.get("type") in CLDR_SHORT
        if tag in ("eraAbbr", "eraNarrow", "identity"):
            return
        if element.get("alt") in CLDR_SHORT:
            return
        if (tag in CLDR_TAGS and not short and element.text
                and element.text.strip() and element.text != "↑↑↑"):
            texts.append(element.text)
        for child in element:
            walk(child, short)

    walk(ET.parse(path).getroot(), False)
    return texts


def babel_texts(unpacked, name):
    """The captions, the names of months, days and the like, and the
    language's own name, of a babel locale .ini file."""
    texts = []
    section = ""
    for line in read_text(os.path.join(unpacked, BABEL, name)).split("\n"):
        line = line.strip()
        if not line or line.startswith(";"):
            continue
        m = re.fullmatch(r"\[(.*)\]", line)
        if m:
            section = m.group(1)
            continue
        if "=" not in line:
            continue
        key, value = (s.strip() for s in line.split("=", 1))
        if key.endswith(".licr") or "\\" in value:
            continue
        if (section == "captions"
                or (section.startswith("date.")
                    and re.match(r"(months|days|quarters|dayPeriods|eras)\.", key)
                    and ".wide." in key)
                or (section == "identification" and key == "name.local")):
            texts.append(value)
    return texts


def pinyin_counts(unpacked):
    """reading -> number of characters with it, from xpinyin's database."""
    counts = {}
    for line in read_text(os.path.join(unpacked, XPINYIN)).split("\n"):
        m = re.fullmatch(r"\\XPYUM?\{.+?\}\{\d+\}\{([^{}]+)\}", line)
        if m:
            for reading in m.group(1).split(","):
                counts[reading] = counts.get(reading, 0) + 1
    if len(counts) < 1000:
        die("%s: too few readings" % XPINYIN)
    return counts


def words_of(texts, letters):
    """Runs of letters in the NFC texts, with their counts."""
    counts = {}
    for text in texts:
        text = unicodedata.normalize("NFC", text)
        word = []
        for c in text + "\0":
            if c in letters:
                word.append(c)
            elif word:
                w = "".join(word)
                counts[w] = counts.get(w, 0) + 1
                word = []
    return counts


def rank(counts, shortest):
    """The words of at least SHORTEST code points, most frequent first, ties
    in the order of their SHA-1."""
    words = [w for w in counts if len(w) >= shortest]
    words.sort(key=lambda w: (-counts[w], hashlib.sha1(w.encode("utf-8")).hexdigest()))
    return words


def main():
    if len(sys.argv) < 4:
        die("usage: make_utf8_words.py UNPACKED SETS_DIR OUT_DIR PACKAGE=VERSION...")
    unpacked, sets_dir, out_dir = sys.argv[1:4]
    versions = dict(arg.split("=", 1) for arg in sys.argv[4:])
    lower = lower_map(unpacked)

    table = read_text(os.path.join(sets_dir, "sets.tsv")).split("\n")
    header = table[0].split("\t")
    rows = [dict(zip(header, line.split("\t"))) for line in table[1:] if line]
    if set(SOURCES) | {"pi"} != {r["name"] for r in rows}:
        die("the sets of sets.tsv and of SOURCES differ")

    report = []
    for row in rows:
        name = row["name"]
        left, right = int(row["left"]), int(row["right"])
        patterns = set_entries(os.path.join(sets_dir, name + ".pat"))
        hyp = os.path.join(sets_dir, name + ".hyp")
        exceptions = set_entries(hyp) if os.path.exists(hyp) else []
        letters = letters_of(patterns, exceptions, lower)
        ranked = []
        for source in SOURCES.get(name, []):
            kind, _, arg = source.partition(":")
            if kind == "iso":
                counts = words_of(iso_texts(unpacked, arg), letters)
            elif kind == "isoen":
                counts = words_of(isoen_texts(unpacked), letters)
            elif kind == "isocn":
                counts = words_of(isocn_texts(unpacked), letters)
            elif kind == "cldr":
                counts = words_of(cldr_texts(unpacked, arg), letters)
            elif kind == "babel":
                counts = words_of(babel_texts(unpacked, arg), letters)
            elif kind == "pinyin":
                counts = words_of(
                    [r for r, n in sorted(pinyin_counts(unpacked).items()) for _ in range(n)],
                    letters)
            elif kind == "exceptions":
                counts = words_of([w.replace("-", "") for w in exceptions], letters)
            else:
                die("unknown source %s" % source)
            ranked.append(rank(counts, left + right))
        # The sources of a set take turns, each giving its next word not
        # yet taken, until there are enough or none is left.
        chosen, seen = [], set()
        taken = [0] * len(ranked)
        at = [0] * len(ranked)
        while len(chosen) < MAX_WORDS and any(at[i] < len(r) for i, r in enumerate(ranked)):
            for i, r in enumerate(ranked):
                while at[i] < len(r) and r[at[i]] in seen:
                    at[i] += 1
                if at[i] < len(r) and len(chosen) < MAX_WORDS:
                    chosen.append(r[at[i]])
                    seen.add(r[at[i]])
                    taken[i] += 1
                    at[i] += 1
        used = [(source, taken[i], len(ranked[i]))
                for i, source in enumerate(SOURCES.get(name, []))]
        if chosen:
            chosen.sort()
            with open(os.path.join(out_dir, name + ".words"), "wb") as f:
                f.write(("\n".join(chosen) + "\n").encode("utf-8"))
        capitals = sum(1 for w in chosen if unicodedata.category(w[0]) in ("Lu", "Lt"))
        report.append((name, row["language"], len(chosen), capitals, used))

    write_sources(out_dir, report, versions)


SOURCE_NAMES = {
    "iso": "iso-codes %s, locale %s",
    "isoen": "iso-codes %s, English names",
    "isocn": "iso-codes %s, subdivisions of China (pinyin)",
    "cldr": "unicode-cldr-core %s, locale %s",
    "babel": "texlive-latex-base %s, babel locale %s",
    "pinyin": "texlive-lang-chinese %s, xpinyin readings",
    "exceptions": "the set's exceptions",
}
SOURCE_PACKAGES = {"iso": "iso-codes", "isoen": "iso-codes", "isocn": "iso-codes",
                   "cldr": "unicode-cldr-core", "babel": "texlive-latex-base",
                   "pinyin": "texlive-lang-chinese"}


def write_sources(out_dir, report, versions):
    lines = [
        "# Real words for the UTF-8 pattern sets",
        "",
        "Made by `scripts/make_utf8_words.sh` (which says how) from translations",
        "shipped in Debian 12. `<set>.words` holds up to %d words of the set's" % MAX_WORDS,
        "language, NFC, one a line: the runs of the set's letters (its patterns'",
        "and exceptions' characters and their capitals) in the sources, at least",
        "as long as the two minima together, the most frequent first. `<set>.tex`",
        "holds the same words with `-` at every break LuaTeX makes with the set's",
        "patterns, exceptions and minima (`scripts/tex_breaks.sh`).",
        "",
        "Packages: " + ", ".join("`%s` %s" % (p, v) for p, v in sorted(versions.items())) + ".",
        "",
        "| set | language | words | capitalised | sources (words taken of words found) | note |",
        "| --- | --- | ---: | ---: | --- | --- |",
    ]
    for name, language, count, capitals, used in report:
        described = []
        for source, taken, found in used:
            kind, _, arg = source.partition(":")
            version = versions.get(SOURCE_PACKAGES.get(kind, ""), "")
            text = SOURCE_NAMES[kind]
            text = text % ((version, arg) if text.count("%s") == 2 else
                           (version,) if "%s" in text else ())
            described.append("%s (%d of %d)" % (text, taken, found))
        lines.append("| %s | %s | %d | %d | %s | %s |" % (
            name, language, count, capitals, "; ".join(described) or "none",
            NOTES.get(name, "")))
    none = [name for name, _, count, _, _ in report if count == 0]
    lines += ["", "Sets without words: " + (", ".join(none) if none else "none") + "."]
    with open(os.path.join(out_dir, "SOURCES.md"), "wb") as f:
        f.write(("\n".join(lines) + "\n").encode("utf-8"))


if __name__ == "__main__":
    main()
