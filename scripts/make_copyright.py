#!/usr/bin/env python3
"""Writes packaging/copyright, the machine-readable (DEP-5) copyright file
of the Debian package, from the headers of the pattern sets.

    make_copyright.py [--check]

The file is packaging/copyright.head (the program's own paragraphs), then
one Files paragraph for every pattern set (its .pat file and its two
alphabets), then a stand-alone License paragraph for every licence named.
A set's holders, licence and source are read from the comment header of its
.pat file: the hyph-utf8 fields "copyright:" and "licence:" (a list of
licences there means any one of them) and the "Source:" and "Conversion:"
notes that make_patterns.sh and make_sets.py add.  Full licence texts come
from packaging/licenses/, from the headers themselves (notices of their own)
or, for the GPL, LGPL and MPL, from /usr/share/common-licenses.

Every folder under patterns/ that holds .pat files is a family of sets;
the files are read in the code pages listed in the folder's "charsets"
file, or as UTF-8 where it has none.  The output depends on those files
only, so a second run gives the same bytes.  With --check nothing is
written; the exit code is 1 if packaging/copyright is not what this script
would write.  Needs python3 only.
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
    and the lengths in bytes in the file of the line and of its first word."""

    def __init__(self, indent, text, size=0, first=0):
        self.indent, self.text, self.size, self.first = indent, text, size, first


def header(path, codec):
    """The leading comment lines of a .pat file, <U+XXXX> (a character the
    code page lacks) decoded."""
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
        lines.append(Line(len(s) - len(text), text, len(raw), first))
    return lines


def unwrapped(lines):
    """A block of text with the wrapping of make_patterns.sh undone, as
    lines indented relative to the block: a line indented two more than
    the line before, whose first word would have made that line longer than
    LINE_MAX, is the rest of it."""
    out, indent, last = [], 0, 0
    for line in lines:
        if out and out[-1] and line.text and line.indent == indent + 2 and \
                last + 1 + line.first > LINE_MAX:
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
            if text and words(text) != words(self.catalogue[name]):
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


def families():
    """(folder relative to the source tree, codec by set name or None for
    UTF-8, set names) of every folder of sets under patterns/."""
    found = []
    for folder, dirs, files in os.walk(PATTERNS):
        dirs.sort()
        names = sorted(f[:-4] for f in files if f.endswith(".pat"))
        if not names:
            continue
        codecs = None
        charsets = os.path.join(folder, "charsets")
        if os.path.exists(charsets):
            codecs = {}
            with open(charsets, encoding="ascii") as f:
                for line in f:
                    if line.strip() and not line.startswith("#"):
                        name, charset = line.split()
                        codecs[name] = charset
        found.append((os.path.relpath(folder, ROOT).replace(os.sep, "/"), codecs, names))
    return found


def set_paragraph(folder, name, codec, licences):
    where = "%s/%s.pat" % (folder, name)
    lines = header(os.path.join(ROOT, where), codec)
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
        if not isinstance(fields.get("copyright"), (str, list)) or "licence" not in fields:
            die("%s: no copyright and licence fields in the header" % where)
        copyright_ = fields["copyright"]
        if isinstance(copyright_, list):
            copyright_ = " ".join(l.strip() for l in copyright_ if l.strip())
        copyright_ = re.sub(r"^Copyright\s*(\([Cc]\)|©)?\s*", "", copyright_)
        given = fields["licence"]
        # A list of licences means any one of them; its plain-text entries
        # say so in words.
        items = given if isinstance(given, list) else [given]
        names = []
        for item in items:
            if not isinstance(item, str):
                short = licences.short(item, name, where)
                if short not in names:
                    names.append(short)
    if not names:
        die("%s: no licence in the header" % where)
    comment += raw_field(lines, "Source") + raw_field(lines, "Conversion")
    files = [where] + ["%s/%s%s" % (folder, name, ext) for ext in (".small", ".large")
                       if os.path.exists(os.path.join(ROOT, folder, name + ext))]
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
    for folder, codecs, names in families():
        for name in names:
            if codecs is not None and name not in codecs:
                die("%s/charsets: no code page for %s" % (folder, name))
            codec = codecs[name] if codecs is not None else "utf-8"
            text, shorts = set_paragraph(folder, name, codec, licences)
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
