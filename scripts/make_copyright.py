#!/usr/bin/env python3
"""Writes packaging/copyright, the machine-readable (DEP-5) copyright file
of the Debian package, from the headers of the pattern sets.

    make_copyright.py [--check]

The file is packaging/copyright.head (the program's own paragraphs), then
one Files paragraph for every pattern set (its .pat file and the files that
go with it: its two alphabets, or its exceptions), then a stand-alone
License paragraph for every licence named.  A set's holders, licence and
source are read from the comment header of its .pat file: the hyph-utf8
fields "copyright:" and "licence:" (a list of licences there means any one
of them) and the "Source:" and "Conversion:" notes that make_patterns.sh,
make_sets.py and make_utf8_sets.py add.  Full licence texts come from
packaging/licenses/, from the headers themselves (notices of their own) or,
for the GPL, LGPL and MPL, from /usr/share/common-licenses.

Every folder under patterns/ that holds .pat files is a family of sets, of
one of two kinds:
  - with a "charsets" file (the single-byte sets of make_patterns.sh): each
    file is read in the code page listed there, and its header's long lines
    were wrapped at LINE_MAX;
  - with a "sets.tsv" table (the UTF-8 sets of make_utf8_sets.sh): the files
    are UTF-8, their headers copied unwrapped, and a set's <name>.hyp holds
    its exceptions.  The table's licence column is read as well: where a
    header's licence field names nothing, the table's licence stands in (the
    paragraph's Comment says so); where it does name one, the two must agree,
    and the table's package and version must be those of the header's Source
    note.
The output depends on those files only, so a second run gives the same
bytes.  With --check nothing is written; the exit code is 1 if
packaging/copyright is not what this script would write.  Needs python3
only.
"""

import os
import re
import sys
import textwrap

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PATTERNS = os.path.join(ROOT, "patterns")
HEAD = os.path.join(ROOT, "packaging", "copyright.head")
TEXTS = os.path.join(ROOT, "packaging", "licenses")
OUT = os.path.join(ROOT, "packaging", "copyright")

LINE_MAX = 78   # longest line of a .pat file; make_patterns.sh wraps there
WIDTH = 79      # longest line written here, the leading space included

# Sets whose header gives holder and terms in prose instead of fields: the
# holder, and the end of the line after which the header quotes the notice
# that sets the terms (its lines up to the next empty comment line; the
# paragraph after it, which says how the file meets them, is a comment).
PROSE = {"en-us": ("Donald E. Knuth", "hyphen.tex reads:")}

# Licence names of the headers, as short names of the copyright format.
NAMES = {"MIT": "Expat", "MIT/X11": "Expat", "LPPL": "LPPL", "GPL": "GPL",
         "LGPL": "LGPL", "MPL": "MPL", "BSD 3-clause licence": "BSD-3-clause"}
VERSIONS = {"1": "1.0", "2.0": "2", "1.3": "1.3c"}
LONG = {"GPL": "The GNU General Public License",
        "LGPL": "The GNU Lesser General Public License",
        "MPL": "The Mozilla Public License"}
NONE_STATED = ("The header of these patterns states no licence (its licence field "
               "reads \"[None]\"). TeX Live and Debian (package texlive-lang-european, "
               "in main) distribute them as they are.")


def die(message):
    sys.stderr.write("make_copyright.py: %s\n" % message)
    sys.exit(1)


class Line:
    """A comment line of a header: its indentation after the "%", its text,
    and the lengths in bytes in the file of the line and of its first word
    (both 0 in a header that was never wrapped, so that no line is taken for
    the rest of the one before)."""

    def __init__(self, indent, text, size=0, first=0):
        self.indent, self.text, self.size, self.first = indent, text, size, first


def header(path, codec, wrapped):
    """The leading comment lines of a .pat or .hyp file, <U+XXXX> (a
    character the code page lacks) decoded; wrapped: whether its long lines
    were wrapped at LINE_MAX."""
    with open(path, "rb") as f:
        data = f.read()
    lines = []
    for raw in data.split(b"\n"):
        if not raw.startswith(b"%"):
            break
        try:
            s = raw[1:].decode(codec)
        except UnicodeDecodeError as e:
            die("%s: not %s (%s)" % (path, codec, e))
        s = re.sub(r"<U\+([0-9A-F]{4,6})>", lambda m: chr(int(m.group(1), 16)), s).rstrip()
        text = s.lstrip(" ")
        first = len(raw[1:].lstrip(b" ").split(b" ", 1)[0])
        if not wrapped:
            first = 0
        lines.append(Line(len(s) - len(text), text, len(raw) if wrapped else 0, first))
    return lines


def unwrapped(lines):
    """A block of text with the wrapping of make_patterns.sh undone, as
    lines indented relative to the block: a line indented two more than
    the line before, whose first word would have made that line longer than
    LINE_MAX, is the rest of it (never in a header read as unwrapped, whose
    lines all have size 0)."""
    out, indent, last = [], 0, 0
    for line in lines:
        if out and out[-1] and line.text and line.indent == indent + 2 and \
                last and last + 1 + line.first > LINE_MAX:
            out[-1] += " " + line.text
        else:
            out.append(line.text and " " * line.indent + line.text)
            indent = line.indent
        last = line.size
    base = min((len(l) - len(l.lstrip(" ")) for l in out if l), default=0)
    return [l[base:] for l in out]


# Licences whose paragraph refers to a text elsewhere (below in this file
# for the LPPL, in /usr/share/common-licenses for the others).
REFERRED = re.compile(r"(GPL|LGPL|MPL|LPPL)(-[0-9.]+c?\+?)?")
KEY = re.compile(r"([A-Za-z_]+):(?: +(.*))?$")
BLOCK = re.compile(r"[>|][-+]?\s*(#.*)?$")


def block_end(lines, i, indent):
    """Index after the lines from i on that belong to something indented
    by indent: deeper lines, and empty ones followed by a deeper line."""
    while i < len(lines):
        if not lines[i].text:
            k = i
            while k < len(lines) and not lines[k].text:
                k += 1
            if k < len(lines) and lines[k].indent > indent:
                i = k
                continue
            break
        if lines[i].indent <= indent:
            break
        i += 1
    return i


def value(lines, i, rest, indent):
    """The value of a key or list item at indent whose line ends with rest,
    and the index after its lines: a block of text (">" or "|", kept as its
    lines, "" for an empty one), a plain text (one string), or a mapping or
    list."""
    j = block_end(lines, i, indent)
    body = lines[i:j]
    if BLOCK.match(rest):
        return unwrapped(body), j
    if rest:
        return " ".join([rest] + [l.text for l in body if l.text]), j
    return (node(body) if body else ""), j


def node(lines):
    """A mapping or a list, from the YAML-like fields of the hyph-utf8
    headers; lines that are neither a key nor a list item at the level of
    the first line (prose beside the fields) are passed over."""
    first = next(l for l in lines if l.text)
    level = first.indent
    is_list = first.text == "-" or first.text.startswith("- ")
    items, fields, i = [], {}, 0
    while i < len(lines):
        line = lines[i]
        if not line.text or line.indent != level:
            i += 1
            continue
        if is_list and (line.text == "-" or line.text.startswith("- ")):
            rest = line.text[1:].lstrip(" ")
            if KEY.match(rest):
                # "- key: value": a mapping whose keys line up with this one
                j = block_end(lines, i + 1, level)
                column = level + len(line.text) - len(rest)
                items.append(node([Line(column, rest)] + lines[i + 1:j]))
                i = j
            else:
                item, i = value(lines, i + 1, rest, level)
                items.append(item)
            continue
        m = KEY.match(line.text)
        if is_list or not m:
            i += 1
            continue
        item, i = value(lines, i + 1, m.group(2) or "", level)
        fields.setdefault(m.group(1), item)
    return items if is_list else fields


def raw_field(lines, key):
    """The last top-level field key (a note of make_patterns.sh), as its
    lines in the header, indented relative to the key's."""
    found = None
    for i, line in enumerate(lines):
        if line.indent == 1 and line.text.startswith(key + ":"):
            j = block_end(lines, i + 1, 1)
            found = [" " * (l.indent - 1) + l.text for l in lines[i:j]]
    return found or []


def normalised(text_lines):
    return " ".join(re.sub(r"\s+", " ", l).strip() for l in text_lines
                    if l.strip()).replace("“", '"').replace("”", '"').strip()


def words(text_lines):
    return re.sub(r"[^a-z0-9]+", " ", " ".join(text_lines).lower()).strip()


class Licences:
    """The licences named so far: short name -> text lines, and the names
    given to the notices of the sets' own."""

    def __init__(self):
        self.catalogue = {}
        for name in sorted(os.listdir(TEXTS)):
            if name != "README.md":
                with open(os.path.join(TEXTS, name), encoding="utf-8") as f:
                    self.catalogue[name] = f.read().rstrip("\n").split("\n")
        self.own = {}      # normalised text -> short name
        self.texts = {}    # short name -> text lines of a notice of its own

    def notice(self, text, owner):
        """Short name of a notice of the set owner's own (a known text by its
        own name; the same words twice under one name)."""
        for name, known in self.catalogue.items():
            if words(known) == words(text):
                return name
        key = normalised(text)
        if key not in self.own:
            name = "notice-" + owner
            n = 2
            while name in self.texts:
                name = "notice-%s-%d" % (owner, n)
                n += 1
            self.own[key] = name
            self.texts[name] = text
        return self.own[key]

    def short(self, item, owner, where):
        """Short name of one licence of a header's licence field."""
        if not isinstance(item, dict):
            die("%s: a licence that is not a set of fields: %r" % (where, item))
        text = item.get("text")
        if isinstance(text, str):
            text = [text]
        if "name" not in item:
            if not text:
                die("%s: a licence with neither name nor text" % where)
            if [t.strip() for t in text] == ["[None]"]:
                self.texts["none-stated"] = wrapped(NONE_STATED)
                return "none-stated"
            return self.notice(text, owner)
        base = NAMES.get(item["name"])
        if base is None:
            die("%s: licence %r has no short name here (add it to NAMES)"
                % (where, item["name"]))
        version = str(item.get("version", ""))
        name = base
        if version:
            name += "-" + VERSIONS.get(version, version)
        if item.get("or_later") == "true":
            name += "+"
        if name in self.catalogue:
            if text and not same_terms(text, self.catalogue[name], item["name"]):
                die("%s: the %s text differs from packaging/licenses/%s"
                    % (where, item["name"], name))
        elif text and not REFERRED.fullmatch(name):
            # a licence whose text names its holders (BSD): the header's own
            if name in self.texts and normalised(self.texts[name]) != normalised(text):
                name += "-" + owner
            self.texts.setdefault(name, text)
        return name

    def body(self, name):
        """Text lines of the License paragraph of name and the names it
        refers to; None for a name that needs the text of its header."""
        if name in self.catalogue:
            return self.catalogue[name], []
        if name in self.texts:
            return self.texts[name], []
        m = re.fullmatch(r"(GPL|LGPL|MPL)(?:-([0-9.]+)(\+?))?", name)
        if m:
            kind, version, later = m.groups()
            if not version and kind == "GPL":
                return wrapped("The GNU General Public License, with no version stated: the "
                               "licence then lets the recipient choose any version. On Debian "
                               "systems the full texts are in /usr/share/common-licenses/GPL-1, "
                               "GPL-2 and GPL-3."), []
            if not version and kind == "LGPL":
                return wrapped("The GNU Lesser General Public License, with no version stated: "
                               "the licence then lets the recipient choose any version. On "
                               "Debian systems the full texts are in /usr/share/common-licenses/"
                               "LGPL-2.1 and LGPL-3, and that of its predecessor, the GNU "
                               "Library General Public License, in LGPL-2."), []
            if version:
                return wrapped("%s, version %s%s. On Debian systems the full text of version %s "
                               "is in /usr/share/common-licenses/%s-%s."
                               % (LONG[kind], version,
                                  " or (at your option) any later version" if later else "",
                                  version, kind, version)), []
        m = re.fullmatch(r"LPPL(?:-([0-9.]+c?)\+)?", name)
        if m:
            version = m.group(1)
            if version is None:
                return wrapped("The LaTeX Project Public License, with no version stated. The "
                               "text of its present version, 1.3c, is under License: LPPL-1.3c."), \
                    ["LPPL-1.3c"]
            return wrapped("The LaTeX Project Public License, version %s or (at your option) any "
                           "later version. The text of version %s is under License: LPPL-%s."
                           % (version, version, version)), ["LPPL-" + version]
        return None


def same_terms(text, known, label):
    """Whether a header's licence text is the known text of the licence
    labelled label, spacing, quotes and punctuation aside; one short
    sentence before it that names the licence ("This file is available
    under the terms of the MIT licence.") adds no terms."""
    given, known = words(text), words(known)
    if given == known:
        return True
    if not given.endswith(" " + known):
        return False
    lead = given[:-len(known)].split()
    return len(lead) <= 16 and set(words([label]).split()) <= set(lead)


def wrapped(text):
    """A paragraph of text written here, as lines of at most 72 characters."""
    return textwrap.wrap(text, 72, break_long_words=False, break_on_hyphens=False)


def field(name, lines, hang=2):
    """A field of the copyright format: the first line after the name, the
    others indented by one space, "." for an empty one; a line longer than
    WIDTH is wrapped at spaces, its rest indented by hang more (not at all
    if hang is None)."""
    out = []
    for n, line in enumerate(lines):
        lead = name + ": " if n == 0 else " "
        if not line:
            out.append(" .")
            continue
        indent = len(line) - len(line.lstrip(" "))
        current = lead + line
        start = len(lead) + indent + 1
        while hang is not None and len(current) > WIDTH and " " in current[start:WIDTH + 1]:
            cut = current.rindex(" ", start, WIDTH + 1)
            out.append(current[:cut].rstrip())
            current = " " + " " * (indent + hang) + current[cut:].lstrip()
            start = indent + hang + 2
        out.append(current)
    return "\n".join(out) + "\n"


class Family:
    """A folder of sets: its path relative to the source tree, its set
    names, the code page of each set (None: all UTF-8), whether its headers
    were wrapped, and its table (set name -> row of sets.tsv, None without
    one)."""

    def __init__(self, folder, names, codecs, wrapped, table):
        self.folder, self.names, self.codecs = folder, names, codecs
        self.wrapped, self.table = wrapped, table


def read_table(path):
    """The rows of a sets.tsv, by set name, each a mapping of its columns."""
    with open(path, encoding="utf-8") as f:
        rows = [line.rstrip("\n").split("\t") for line in f if line.strip()]
    if not rows or not {"name", "licence", "package", "version"} <= set(rows[0]):
        die("%s: no header line with the columns name, licence, package and version"
            % os.path.relpath(path, ROOT))
    table = {}
    for number, row in enumerate(rows[1:], 2):
        if len(row) != len(rows[0]):
            die("%s:%d: %d columns, not %d" % (os.path.relpath(path, ROOT), number,
                                              len(row), len(rows[0])))
        fields = dict(zip(rows[0], row))
        table[fields["name"]] = fields
    return table


def families():
    """Every folder of sets under patterns/, as a Family."""
    found = []
    for folder, dirs, files in os.walk(PATTERNS):
        dirs.sort()
        names = sorted(f[:-4] for f in files if f.endswith(".pat"))
        if not names:
            continue
        where = os.path.relpath(folder, ROOT).replace(os.sep, "/")
        charsets = os.path.join(folder, "charsets")
        table = os.path.join(folder, "sets.tsv")
        if os.path.exists(charsets):
            codecs = {}
            with open(charsets, encoding="ascii") as f:
                for line in f:
                    if line.strip() and not line.startswith("#"):
                        name, charset = line.split()
                        codecs[name] = charset
            for name in names:
                if name not in codecs:
                    die("%s/charsets: no code page for %s" % (where, name))
            found.append(Family(where, names, codecs, True, None))
        elif os.path.exists(table):
            rows = read_table(table)
            if sorted(rows) != names:
                die("%s/sets.tsv: its sets and the .pat files differ: only in the table %s, "
                    "only as files %s" % (where, sorted(set(rows) - set(names)),
                                          sorted(set(names) - set(rows))))
            found.append(Family(where, names, None, False, rows))
        else:
            die("%s: .pat files with neither a charsets file nor a sets.tsv" % where)
    return found


# Licences as sets.tsv writes them, where this file names them otherwise.
TABLE_NAMES = {"MIT": "Expat", "BSD-3-Clause": "BSD-3-clause"}


def table_short(entry):
    """Short name here of a licence of sets.tsv's licence column; None for
    one it describes in words (a notice of the set's own, none stated)."""
    if entry in TABLE_NAMES:
        return TABLE_NAMES[entry]
    m = re.fullmatch(r"(GPL|LGPL|MPL|LPPL)(?:-([0-9.]+))?(\+?)", entry)
    if not m:
        return None
    name = m.group(1)
    if m.group(2):
        name += "-" + VERSIONS.get(m.group(2), m.group(2))
    return name + m.group(3)


def licence_items(given):
    """The licences of a header's licence field, each a mapping (a list of
    them means any one of them; its plain-text entries say so in words).
    A list some of whose mappings neither name a licence nor give its text
    (a link alone) is one licence written a field an item, and its mappings
    are joined, provided none gives a field another gives too; what then
    still names nothing and gives no text is passed over."""
    items = given if isinstance(given, list) else [given]
    maps = [i for i in items if not isinstance(i, str)]
    fragments = [i for i in maps if isinstance(i, dict) and "name" not in i and "text" not in i]
    if not fragments:
        return maps
    joined = {}
    for item in maps:
        if not isinstance(item, dict) or set(item) & set(joined):
            return [i for i in maps if not any(i is f for f in fragments)]
        joined.update(item)
    return [joined]


def check_table(where, row, names, owner):
    """Dies unless the licences read from a header are those of the set's
    row of sets.tsv: the same in the same order, a notice of the set's own
    where the table describes one in words."""
    given = row["licence"].split(" OR ")
    agree = len(given) == len(names)
    for entry, name in zip(given, names):
        expected = table_short(entry)
        if expected is None:
            agree = agree and (name.startswith("notice-") or name == "none-stated")
        else:
            agree = agree and name in (expected, expected + "-" + owner)
    if not agree:
        die("%s: the header gives the licence %s, sets.tsv %r"
            % (where, " or ".join(names), row["licence"]))


def source_note(where, lines, row):
    """The Source note of a header of a family with a table, checked to name
    the row's Debian package and version."""
    note = raw_field(lines, "Source")
    m = note and re.match(r"Source: Debian package (\S+), version (\S+),", note[0])
    if not m:
        die("%s: no \"Source: Debian package P, version V,\" note" % where)
    if (m.group(1), m.group(2)) != (row["package"], row["version"]):
        die("%s: the Source note names %s %s, sets.tsv %s %s"
            % (where, m.group(1), m.group(2), row["package"], row["version"]))
    return note


def set_paragraph(family, name, licences):
    folder = family.folder
    codec = family.codecs[name] if family.codecs is not None else "utf-8"
    row = family.table[name] if family.table is not None else None
    where = "%s/%s.pat" % (folder, name)
    lines = header(os.path.join(ROOT, where), codec, family.wrapped)
    if not lines:
        die("%s: no comment header" % where)
    fields = node(lines)
    comment = []
    if name in PROSE and "copyright" not in fields:
        holder, lead_in = PROSE[name]
        start = next((i for i, l in enumerate(lines) if l.text.endswith(lead_in)), None)
        if start is None:
            die("%s: no line ending in %r" % (where, lead_in))
        start += 1
        while start < len(lines) and not lines[start].text:
            start += 1
        end = start
        while end < len(lines) and lines[end].text:
            end += 1
        if end == start:
            die("%s: no notice after %r" % (where, lead_in))
        after = end + 1
        while after < len(lines) and lines[after].text:
            after += 1
        copyright_ = holder
        names = [licences.notice(unwrapped(lines[start:end]), name)]
        comment = [" ".join(l.text for l in lines[end + 1:after])]
    else:
        if not isinstance(fields.get("copyright"), (str, list)):
            die("%s: no copyright field in the header" % where)
        if "licence" not in fields and row is None:
            die("%s: no licence field in the header" % where)
        copyright_ = fields["copyright"]
        if isinstance(copyright_, list):
            copyright_ = " ".join(l.strip() for l in copyright_ if l.strip())
        copyright_ = re.sub(r"^Copyright\s*(\([Cc]\)|©)?\s*", "", copyright_)
        names = []
        for item in licence_items(fields.get("licence", "")):
            short = licences.short(item, name, where)
            if short not in names:
                names.append(short)
            # A licence of several versions named without one: where the
            # header links to one version, the reader should know.
            if short in ("GPL", "LGPL", "MPL", "LPPL") and isinstance(item.get("url"), str):
                comment.append("The header names the %s without a version; its link is %s."
                               % (item["name"], item["url"]))
        if names and row is not None:
            check_table(where, row, names, name)
        elif row is not None:
            for entry in row["licence"].split(" OR "):
                short = table_short(entry)
                if short is None:
                    die("%s: the header names no licence, and sets.tsv's %r has no text here"
                        % (where, entry))
                names.append(short)
            comment.append("The header names no licence; the licence is the one "
                           "%s/sets.tsv gives for this set (%s)." % (folder, row["licence"]))
    if not names:
        die("%s: no licence in the header" % where)
    if row is not None:
        comment += source_note(where, lines, row)
    else:
        comment += raw_field(lines, "Source") + raw_field(lines, "Conversion")
    files = [where]
    for ext in (".small", ".large", ".hyp"):
        if os.path.exists(os.path.join(ROOT, folder, name + ext)):
            files.append("%s/%s%s" % (folder, name, ext))
    hyp = "%s/%s.hyp" % (folder, name)
    if row is not None and os.path.exists(os.path.join(ROOT, hyp)):
        # The exceptions' own header names the file they come from.
        note = " ".join(l.strip() for l in
                        source_note(hyp, header(os.path.join(ROOT, hyp), codec, False), row))
        m = re.search(r" file (\S+)", note)
        if not m:
            die("%s: its Source note names no file" % hyp)
        comment.append("Exceptions (%s.hyp) from the same package: %s" % (name, m.group(1)))
    text = field("Files", [" ".join(files)], 0)
    text += field("Copyright", [copyright_], None)
    text += field("License", [" or ".join(names)])
    if comment:
        text += field("Comment", comment)
    return text, names


def build():
    with open(HEAD, encoding="utf-8") as f:
        head = f.read()
    licences = Licences()
    used = re.findall(r"^License: (.+)$", head, re.M)
    paragraphs = [head.rstrip("\n") + "\n"]
    for family in families():
        for name in family.names:
            text, shorts = set_paragraph(family, name, licences)
            paragraphs.append(text)
            used += shorts
    needed, queue = set(), list(used)
    while queue:
        name = queue.pop()
        if name in needed:
            continue
        found = licences.body(name)
        if found is None:
            die("no text for licence %s (add it to packaging/licenses)" % name)
        needed.add(name)
        queue += found[1]
    for name in sorted(needed):
        paragraphs.append(field("License", [name] + licences.body(name)[0]))
    return "\n".join(paragraphs)


def main(argv):
    if argv[1:] not in ([], ["--check"]):
        sys.stderr.write(__doc__)
        return 2
    text = build()
    if argv[1:] == ["--check"]:
        try:
            with open(OUT, encoding="utf-8") as f:
                current = f.read()
        except OSError as e:
            die("cannot read %s: %s" % (OUT, e.strerror))
        if current != text:
            die("packaging/copyright differs from the pattern sets' headers; "
                "run scripts/make_copyright.py")
        return 0
    with open(OUT, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
