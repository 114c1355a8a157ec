#!/usr/bin/env python3
"""Makes tests/data/sets/: a small real sample for every pattern set in its
code page, and the sample with 0xAC after every letter where a word may be
broken, computed by scripts/reference_marks.py (not by zarnet).

Called by scripts/make_set_samples.sh, which fetches the pinned Debian
packages and unpacks each into UNPACKED/<package>:

    make_set_samples.py UNPACKED ROOT PACKAGE=VERSION...

Sources, best first:
  - a translated manual page of manpages-l10n (the first of PAGES that the
    language has), rendered with groff as in make_real_text.sh;
  - for English, the start of tests/data/real/en.txt (boot(7));
  - the translated country names of iso-codes (iso_3166-1.mo), one a line;
  - where Debian 12 has neither, the set's own words: its exceptions and
    the letters of its patterns (dots and digits taken out), one a line.
A character the code page lacks (or ¬, which sits at 0xAC) becomes "?".
The text is cut after the last line that keeps it within MAX_BYTES.
"""

import gettext
import gzip
import os
import subprocess
import sys
import unicodedata

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_sets  # noqa: E402
import reference_marks  # noqa: E402

MAX_BYTES = 2500
PAGES = ["man1/ls.1", "man1/cp.1", "man1/rm.1", "man1/mkdir.1", "man1/cat.1", "man1/time.1"]

# set: (kind, language code in that source)
SOURCE = {
    "cs": ("man", "cs"), "da": ("man", "da"), "de-1901": ("man", "de"),
    "de-1996": ("man", "de"), "de-ch-1901": ("man", "de"), "es": ("man", "es"),
    "fi": ("man", "fi"), "fi-x-school": ("man", "fi"), "fr": ("man", "fr"),
    "hu": ("man", "hu"), "id": ("man", "id"), "it": ("man", "it"), "mk": ("man", "mk"),
    "nb": ("man", "nb"), "nn": ("man", "nb"), "nl": ("man", "nl"), "pl": ("man", "pl"),
    "pt": ("man", "pt-br"), "ro": ("man", "ro"), "ru": ("man", "ru"),
    "ru-hyphutf8": ("man", "ru"), "sr-cyrl": ("man", "sr"), "sh-cyrl": ("man", "sr"),
    "sv": ("man", "sv"), "uk": ("man", "uk"), "tr": ("man", "tr"),
    "en-us": ("en", ""), "en-gb": ("en", ""), "en-us-hyphutf8": ("en", ""),
    "af": ("iso", "af"), "be": ("iso", "be"), "bg": ("iso", "bg"), "ca": ("iso", "ca"),
    "cy": ("iso", "cy"), "et": ("iso", "et"), "eu": ("iso", "eu"), "fur": ("iso", "fur"),
    "ga": ("iso", "ga"), "gl": ("iso", "gl"), "hr": ("iso", "hr"), "ia": ("iso", "ia"),
    "is": ("iso", "is"), "kmr": ("iso", "kmr"), "lt": ("iso", "lt"), "lv": ("iso", "lv"),
    "oc": ("iso", "oc"), "sh-latn": ("iso", "sr@latin"), "sk": ("iso", "sk"),
    "sl": ("iso", "sl"), "tk": ("iso", "tk"),
    "hsb": ("own", ""), "la": ("own", ""), "pms": ("own", ""), "rm": ("own", ""),
}


def die(message):
    sys.stderr.write("make_set_samples.py: %s\n" % message)
    sys.exit(1)


def render(unpacked, lang):
    folder = {"pt-br": "pt_BR"}.get(lang, lang)
    base = os.path.join(unpacked, "manpages-" + lang, "usr/share/man", folder)
    for page in PAGES:
        path = os.path.join(base, page + ".gz")
        if os.path.exists(path):
            break
    else:
        die("no page of %s for %s" % (PAGES, lang))
    with gzip.open(path, "rb") as f:
        roff = f.read()
    run = subprocess.run(["groff", "-Kutf8", "-Tutf8", "-mandoc", "-rHY=0", "-rLL=78n",
                          "-P-cbou"], input=roff, capture_output=True,
                         env=dict(os.environ, LC_ALL="C"))
    if run.returncode != 0 or run.stderr:
        die("groff on %s: %s" % (path, run.stderr.decode(errors="replace")))
    return run.stdout.decode("utf-8"), "manpages-" + lang, "usr/share/man/%s/%s.gz" % (folder, page)


def country_names(unpacked, lang):
    path = os.path.join(unpacked, "iso-codes", "usr/share/locale", lang,
                        "LC_MESSAGES/iso_3166-1.mo")
    with open(path, "rb") as f:
        catalog = gettext.GNUTranslations(f)._catalog
    names = [catalog[k] for k in sorted(k for k in catalog if isinstance(k, str) and k)
             if catalog[k] != k]
    return "\n".join(names) + "\n", "iso-codes", path.split("iso-codes/", 1)[1]


def own_words(root, name):
    codec = codec_of(name)
    with open(os.path.join(root, "patterns", name + ".pat"), "rb") as f:
        data = f.read()
    exceptions, others = [], []
    for line in data.split(b"\n"):
        if not line or line.startswith(b"%"):
            continue
        letters = bytes(b for b in line if not 0x30 <= b <= 0x39)
        word = letters.strip(b".")
        whole = letters.startswith(b".") and letters.endswith(b".") and b"8" in line
        if len(word) >= 2 and word not in exceptions and word not in others:
            (exceptions if whole else others).append(word)
    # two patterns' letters joined: the patterns meet inside longer words
    words = exceptions + [a + b for a, b in zip(others[0::2], others[1::2])]
    text = "\n".join(w.decode(codec) for w in words) + "\n"
    return text, "(none)", "patterns/%s.pat: its exceptions, then its patterns' letters" % name


def codec_of(name):
    if name in make_sets.SETS:
        return make_sets.CP[make_sets.SETS[name][2]][0]
    return {"en-us": "cp1252", "de-1996": "latin-1", "ru": "cp1251"}[name]


def to_code_page(text, name):
    codec = codec_of(name)
    text = unicodedata.normalize("NFC", text)
    for a, b in make_sets.SUBSTITUTES.get(name, {}).items():
        text = text.replace(a, b)
    out, replaced = [], 0
    for ch in text:
        if ch != "\n" and (ord(ch) < 0x20 or 0x7F <= ord(ch) < 0xA0):
            continue
        try:
            b = ch.encode(codec)
        except UnicodeEncodeError:
            b, replaced = b"?", replaced + 1
        if b == b"\xac":
            b, replaced = b"?", replaced + 1
        out.append(b)
    return b"".join(out), replaced


def cut(data):
    lines = data.split(b"\n")
    kept, size = [], 0
    for line in lines:
        if size + len(line) + 1 > MAX_BYTES:
            break
        kept.append(line)
        size += len(line) + 1
    while kept and kept[-1] == b"":
        kept.pop()
    return b"\n".join(kept) + b"\n"


def main(argv):
    unpacked, root = argv[1], argv[2]
    versions = dict(a.split("=", 1) for a in argv[3:])
    out = os.path.join(root, "tests/data/sets")
    os.makedirs(out, exist_ok=True)
    names = sorted(f[:-4] for f in os.listdir(os.path.join(root, "patterns")) if f.endswith(".pat"))
    missing = set(names) ^ set(SOURCE)
    if missing:
        die("sets without a source or sources without a set: %s" % sorted(missing))
    rows = []
    for name in names:
        kind, lang = SOURCE[name]
        if kind == "man":
            text, package, path = render(unpacked, lang)
        elif kind == "en":
            with open(os.path.join(root, "tests/data/real/en.txt"), "rb") as f:
                text, package, path = f.read().decode("ascii"), "manpages", "tests/data/real/en.txt"
        elif kind == "iso":
            text, package, path = country_names(unpacked, lang)
        else:
            text, package, path = own_words(root, name)
        data, replaced = to_code_page(text, name)
        data = cut(data)
        pat = os.path.join(root, "patterns", name)
        with open(pat + ".pat", "rb") as f:
            patterns = reference_marks.load_patterns(f.read())
        with open(pat + ".small", "rb") as f:
            small = f.read()
        with open(pat + ".large", "rb") as f:
            large = f.read()
        stats = [0, 0]
        marked = reference_marks.Marker(patterns, small, large).mark(data, stats)
        if stats[1] < 20:
            die("%s: only %d marks in the sample" % (name, stats[1]))
        with open(os.path.join(out, name + ".txt"), "wb") as f:
            f.write(data)
        with open(os.path.join(out, name + ".marked"), "wb") as f:
            f.write(marked)
        version = versions.get(package, "")
        rows.append("| `%s` | %s | `%s` %s | `%s` | %d | %d | %d | %d |"
                    % (name, {"man": "manual page", "en": "manual page",
                              "iso": "country names", "own": "the set's own words"}[kind],
                       package, version, path, len(data), replaced, stats[0], stats[1]))
        print("%s: %d bytes, %d words, %d marks" % (name, len(data), stats[0], stats[1]))
    with open(os.path.join(out, "SOURCES.md"), "w", encoding="utf-8", newline="\n") as f:
        f.write(HEADER)
        f.write("| set | kind | package (version) | file | bytes | replaced by ? | words | marks |\n")
        f.write("| --- | --- | --- | --- | ---: | ---: | ---: | ---: |\n")
        f.write("\n".join(rows) + "\n")
    return 0


HEADER = """# Samples of every pattern set

One small sample per set in `patterns/`, in the set's code page, with the
expected marks computed by `scripts/reference_marks.py` (a dictionary-form
Liang implementation, not zarnet) from `patterns/<set>.pat` and the
alphabets beside it. Made by `scripts/make_set_samples.sh`; a second run
gives the same bytes (with the same groff; Debian 12 has groff 1.22.4).

- *manual page*: a page of Debian's translated manual pages
  (`manpages-l10n`), the first of `ls(1)`, `cp(1)`, `rm(1)`, `mkdir(1)`, `cat(1)`,
  `time(1)` the language has, rendered as in `tests/data/real/SOURCES.md`
  (`groff -Kutf8 -Tutf8 -mandoc -rHY=0 -rLL=78n -P-cbou`); English sets
  use the start of `tests/data/real/en.txt`. Norwegian Nynorsk uses the
  Bokmål pages (Debian has none in Nynorsk), `pt` the Brazilian ones,
  `sh-cyrl` the Serbian ones.
- *country names*: the translated names of `iso-codes`' `iso_3166-1.mo`, in
  the order of their English names, one a line (`sh-latn`: `sr@latin`).
- *the set's own words*: Debian 12 ships no text in Upper Sorbian, modern
  Latin, Piedmontese or Romansh that is not compressed for a spell checker,
  so these are the set's exception words, then the letters of its patterns
  (digits and dots taken out) two by two, joined into one word, one a line.
  They check zarnet against the reference on the patterns' own letters.

A character the code page lacks, and `¬` (which sits at 0xAC, the mark),
became `?`; control bytes but the newline were dropped; Romanian ș ț became
ş ţ. Each sample is cut after the last whole line within 2500 bytes.
Licences: the manual pages are under the GPL (see the packages' copyright
files), iso-codes' translations under the LGPL 2.1 or later.

"""

if __name__ == "__main__":
    sys.exit(main(sys.argv))
