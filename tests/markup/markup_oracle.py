#!/usr/bin/env python3
"""zarnet-utf8's marking of web pages and books against independent oracles.

    markup_oracle.py pages PROGRAM CORPUS [PAGE=LANG ...]
    markup_oracle.py books PROGRAM CORPUS

CORPUS is what scripts/make_markup_pages.sh lays out. `pages` marks every page
of CORPUS/pages.tsv (and each further PAGE, with its LANG) by its file name's
format and checks that
  a. headless Chromium builds the same document from the marked page as from
     the page itself once the soft hyphens are taken out of both (one Chromium
     run loads every page in frames of one page and reports each document);
  b. the marked page is the page with marks put in and nothing else changed,
     and no mark stands inside markup (a tag, a comment, a doctype, a
     processing instruction, a CDATA section, a character reference) nor in
     the text of head, script, style, pre, code and the other elements whose
     text is never marked (Python's html.parser reads the markup);
  c. the text gets the marks that zarnet-utf8's text mode gives the same words
     in the language of their element (see Lines below);
and that the page through standard input with --format=html and with
--mark='&shy;' gets its marks at the same places.
`books` marks every EPUB of CORPUS/books and checks that the book's entries
are the same, in the same order but `mimetype` first and stored, each the
same bytes but for its XHTML documents, which pass b and c in the book's
language; and that epubcheck accepts the marked book, if it has marks, when it
accepted the book (CORPUS/books/NAME.epubcheck).
Prints what it compared; the first faults of each kind, then exits 1.
Checks b and c read markup as html.parser does, which differs from a browser
on some tag soup (`<!-->`, the raw text of iframe and xmp, a quote left open
to the end): a page given here keeps to markup both read alike, and check a
holds for any.
"""
import base64
import concurrent.futures
import html
import html.entities
import html.parser
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree
import zipfile

SHY = "\u00ad"
# Elements whose text is never marked.
SKIPPED = {"head", "title", "script", "style", "pre", "code", "kbd", "samp", "var", "textarea", "math", "svg",
           "template"}
VOID = {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "param", "source", "track",
        "wbr", "keygen", "frame", "basefont", "isindex"}
# Tags a reader reads through: a word goes on across them.
INLINE = {"a", "abbr", "b", "bdi", "bdo", "big", "cite", "data", "del", "dfn", "em", "font", "i", "ins", "mark",
          "q", "s", "small", "span", "strike", "strong", "sub", "sup", "time", "tt", "u"}
# Tags that end a word for a reader: blocks, table cells, line breaks.
SEPARATING = {"address", "article", "aside", "blockquote", "body", "br", "caption", "center", "dd", "details",
              "dialog", "dir", "div", "dl", "dt", "fieldset", "figcaption", "figure", "footer", "form", "h1", "h2",
              "h3", "h4", "h5", "h6", "header", "hgroup", "hr", "html", "legend", "li", "main", "menu", "nav",
              "ol", "option", "p", "section", "summary", "table", "tbody", "td", "tfoot", "th", "thead", "tr",
              "ul", "button", "label", "select", "iframe", "object", "video", "audio", "canvas", "noscript"}
CLOSES_P = {"address", "article", "aside", "blockquote", "div", "dl", "fieldset", "figure", "footer", "form", "h1",
            "h2", "h3", "h4", "h5", "h6", "header", "hr", "main", "nav", "ol", "p", "pre", "section", "table",
            "ul", "details", "figcaption", "menu"}
# What a word of a URL or an e-mail address looks like.
URL = re.compile(r"[A-Za-z][A-Za-z0-9+.-]*://|^\W*www\.|^\W*mailto:|@\w[\w-]*\.\w")
SPACE = re.compile(r"[\t\n\r\f\v ]")
faults = {}


def fault(kind, text):
    faults.setdefault(kind, []).append(text)


def insertions(original, marked, mark):
    """The places (byte offsets in original) where `mark` was put in to give
    `marked`, or None after a fault when marked is not original with marks
    put in. A mark of the original's own is matched first."""
    pieces = marked.split(mark)
    places, at = [], 0
    for k, piece in enumerate(pieces):
        if not original.startswith(piece, at):
            where = at + next((j for j in range(min(len(piece), len(original) - at)) if piece[j] != original[at + j]),
                              min(len(piece), len(original) - at))
            return None, where
        at += len(piece)
        if k + 1 < len(pieces):
            if original.startswith(mark, at):
                at += len(mark)
            else:
                if at < len(original) and 0x80 <= original[at] < 0xC0:
                    return None, at
                places.append(at)
    if at != len(original):
        return None, at
    return places, None


class Reader(html.parser.HTMLParser):
    """Every piece of a document in order: (kind, start, tag, attrs), kind one
    of text, ref, start, end, empty, other; start in characters."""

    def __init__(self, document):
        super().__init__(convert_charrefs=False)
        self.line_starts = [0] + [m.end() for m in re.finditer("\n", document)]
        self.events = []
        self.feed(document)
        self.close()

    def at(self):
        line, column = self.getpos()
        return self.line_starts[line - 1] + column

    def handle_starttag(self, tag, attrs):
        self.events.append(("start", self.at(), tag, dict(attrs)))

    def handle_startendtag(self, tag, attrs):
        self.events.append(("empty", self.at(), tag, dict(attrs)))

    def handle_endtag(self, tag):
        self.events.append(("end", self.at(), tag, None))

    def handle_data(self, data):
        self.events.append(("text", self.at(), None, None))

    def handle_entityref(self, name):
        self.events.append(("ref", self.at(), None, None))

    def handle_charref(self, name):
        self.events.append(("ref", self.at(), None, None))

    def handle_comment(self, data):
        self.events.append(("other", self.at(), "<!--", None))

    def handle_decl(self, decl):
        self.events.append(("other", self.at(), "<!", None))

    def unknown_decl(self, data):
        self.events.append(("other", self.at(), "<![", None))

    def handle_pi(self, data):
        self.events.append(("other", self.at(), "<?", None))


class Line:
    """Text a reader reads as one run of words, in one language: its pieces'
    text (character references read), the marks in it (character offsets)
    and whether a word at its start or end may go on beyond it."""

    def __init__(self, lang, open_start):
        self.lang, self.open_start, self.open_end = lang, open_start, False
        self.text, self.length, self.marks = [], 0, set()


def language(attrs, inherited):
    for name in ("xml:lang", "lang"):
        if name in attrs and attrs[name] is not None:
            return attrs[name].strip()
    return inherited


def read_document(name, original, marked, mark, lang, lines, xml=False):
    """Checks b on one document, and adds its lines (check c) to `lines`. In
    HTML (not `xml`), <tag/> opens the element as <tag> does."""
    places, wrong = insertions(original, marked, mark)
    if places is None:
        fault("b: not the input with marks put in", f"{name}: first differs at byte {wrong}: "
              f"{original[max(0, wrong - 40):wrong + 40]!r}")
        return 0
    try:
        document = original.decode("utf-8")
    except UnicodeDecodeError as error:
        fault("b: input not UTF-8", f"{name}: {error}")
        return 0
    # Byte offsets to character offsets.
    marks, last_byte, last_char = [], 0, 0
    for place in places:
        last_char += len(original[last_byte:place].decode("utf-8"))
        last_byte = place
        marks.append(last_char)
    read = Reader(document).events
    ends = [e[1] for e in read[1:]] + [len(document)]
    # html.parser takes a whole name for a reference (&ampfoo, &notit;); a
    # browser takes the longest name it knows (&amp, &not) and the rest as
    # text, or all as text when it knows none.
    events = []
    for (kind, start, tag, attrs), end in zip(read, ends):
        reference = document[start + 1:end]
        if kind == "ref" and not reference.startswith("#") and reference not in html.entities.html5:
            known = next((k for k in range(len(reference), 0, -1) if reference[:k] in html.entities.html5), 0)
            if known:
                events.append(("ref", start, None, None, start + 1 + known))
            if start + 1 + known < end:
                events.append(("text", start + 1 + known if known else start, None, None, end))
            continue
        events.append((kind, start, tag, attrs, end))
    # Which piece each mark is in or at: pieces are in order, so one walk.
    stack = []  # (tag, lang)
    current = Line(lang, False)
    mark_index = 0

    def close(open_end):
        nonlocal current
        current.open_end = open_end
        if current.length:
            lines.append((name, current))
            current = Line(current.lang, open_end)
        else:
            current.open_start = current.open_start or open_end

    previous, previous_skipped = None, False
    for kind, start, tag, attrs, end in events:
        if kind == "empty" and not xml and tag not in VOID:
            kind = "start"
        inherited = stack[-1][1] if stack else lang
        skipped = any(t in SKIPPED for t, _ in stack)
        # The marks in this piece or at its start (events come in order).
        while mark_index < len(marks) and marks[mark_index] < end:
            at = marks[mark_index]
            mark_index += 1
            context = f"{name}: {document[max(0, at - 40):at]}|{document[at:at + 40]}"
            if at > start and kind != "text":
                fault("b: mark inside markup", context)
            elif kind in ("text", "ref") and skipped or at == start and previous_skipped:
                fault("b: mark in text that is not marked", context)
            elif kind in ("text", "ref"):
                current.marks.add(current.length + (at - start))
            elif previous in ("text", "ref"):
                # At the end of the text before this tag.
                current.marks.add(current.length)
            else:
                fault("b: mark between two tags", context)
        previous, previous_skipped = kind, skipped and kind in ("text", "ref")
        if kind in ("text", "ref"):
            piece = document[start:end]
            if kind == "ref":
                piece = html.unescape(piece)
            if skipped:
                close(True)
                continue
            if inherited != current.lang:
                close(True)
                current.lang = inherited
            current.text.append(piece)
            current.length += len(piece)
            continue
        # A tag or other markup between pieces of text.
        if kind == "start" or kind == "empty":
            if kind == "start" and tag == "body":
                while stack and "head" in (t for t, _ in stack):
                    stack.pop()
            if kind == "start" and tag in CLOSES_P and stack and stack[-1][0] == "p":
                stack.pop()
            if kind == "start" and tag in ("li", "dt", "dd", "td", "th", "tr", "option") and stack and \
                    stack[-1][0] == tag:
                stack.pop()
            if kind == "start" and tag not in VOID:
                stack.append((tag, language(attrs, inherited)))
        elif kind == "end":
            if tag in (t for t, _ in stack):
                while stack.pop()[0] != tag:
                    pass
        if kind in ("start", "end", "empty") and tag in INLINE and not (kind == "start" and
                                                                        language(attrs, inherited) != inherited):
            continue
        if kind in ("start", "end", "empty") and tag in SEPARATING:
            close(False)
        else:
            close(True)
    close(False)
    for at in marks[mark_index:]:
        fault("b: mark at the end of the document", name)
    return len(marks)


def text_mode_marks(program, lang, texts, work):
    """The places text mode marks in each text, or None where LANG has no set."""
    if not lang:
        return None
    source = os.path.join(work, "text-mode.txt")
    with open(source, "w", encoding="utf-8", newline="\n") as f:
        for text in texts:
            f.write(text + "\n")
    result = subprocess.run([program, lang, source, source + ".out"], capture_output=True)
    if result.returncode != 0:
        if b"no pattern set" in result.stderr:
            return None
        sys.exit(f"markup_oracle.py: {program} {lang} failed: {result.stderr.decode(errors='replace').strip()}")
    marked = open(source + ".out", encoding="utf-8", newline="\n").read().split("\n")[:-1]
    places = []
    for text, out in zip(texts, marked):
        found, at = [], 0
        for piece in out.split(SHY)[:-1]:
            at += len(piece)
            if text.startswith(SHY, at):
                at += 1
            else:
                found.append(at)
        places.append(found)
    return places


def compare_lines(program, lines, work):
    """Check c: each line's marks against text mode's, word by word. Words at
    a line's open end are left out, and so are URLs and e-mail addresses,
    which get no marks."""
    by_lang = {}
    for name, line in lines:
        by_lang.setdefault(line.lang, []).append((name, line))
    compared = 0
    for lang, group in sorted(by_lang.items()):
        texts = [SPACE.sub(" ", "".join(line.text)) for _, line in group]
        expected = text_mode_marks(program, lang, texts, work)
        for k, ((name, line), text) in enumerate(zip(group, texts)):
            want = set(expected[k]) if expected else set()
            for word in re.finditer(r"\S+", text):
                if (word.start() == 0 and line.open_start) or (word.end() == len(text) and line.open_end):
                    continue
                inside = range(word.start() + 1, word.end())
                got = {m for m in line.marks if m in inside}
                wanted = set() if URL.search(word.group()) else {m for m in want if m in inside}
                compared += 1
                if got != wanted:
                    fault(f"c: marks differ from text mode's ({lang or 'no language'})",
                          f"{name}: {show(text, word, wanted)} (text mode) {show(text, word, got)} (markup) in "
                          f"{text[max(0, word.start() - 50):word.end() + 20]!r}")
        print(f"  {lang or '(none)'}: {len(group)} runs of text, "
              f"{'no pattern set' if expected is None else 'marked as text mode marks them'}")
    return compared


def show(text, word, marks):
    out = []
    for at in range(word.start(), word.end()):
        if at in marks:
            out.append("-")
        out.append(text[at])
    return "".join(out)


def run(argv, **kwargs):
    result = subprocess.run(argv, capture_output=True, **kwargs)
    if result.returncode != 0:
        fault("zarnet-utf8 failed", f"{' '.join(argv)}: exit {result.returncode}: "
              f"{result.stderr.decode(errors='replace').strip()[:300]}")
        return False
    return True


def chromium_documents(files, work):
    """Each file's document as headless Chromium builds it, serialised, all
    from one run: a page of frames whose script serialises every frame's
    document once all are loaded."""
    frames = "".join(f'<iframe src="{os.path.relpath(f, work)}"></iframe>' for f in files)
    page = os.path.join(work, "frames.html")
    with open(page, "w", encoding="utf-8") as f:
        f.write("<!DOCTYPE html><html><body>" + frames + """<script>
window.addEventListener("load", function () {
  var frames = document.querySelectorAll("iframe");
  for (var i = 0; i < frames.length; i++) {
    var d = frames[i].contentDocument, s = "";
    if (d.doctype) s = "<!DOCTYPE " + d.doctype.name + " \\"" + d.doctype.publicId + "\\" \\"" +
                       d.doctype.systemId + "\\">";
    s += d.documentElement.outerHTML;
    var out = document.createElement("pre");
    out.id = "document" + i;
    out.textContent = btoa(unescape(encodeURIComponent(s)));
    document.body.appendChild(out);
  }
});
</script></body></html>""")
    chromium = shutil.which("chromium") or "chromium"
    dump = subprocess.run([chromium, "--headless", "--no-sandbox", "--disable-gpu", "--allow-file-access-from-files",
                           f"--user-data-dir={work}/chromium-profile", "--dump-dom", "file://" + page],
                          capture_output=True, timeout=300).stdout.decode()
    found = dict(re.findall(r'<pre id="document(\d+)">([^<]*)</pre>', dump))
    if len(found) != len(files):
        sys.exit(f"markup_oracle.py: Chromium gave {len(found)} of {len(files)} documents")
    return [base64.b64decode(found[str(k)]).decode() for k in range(len(files))]


def pages(program, corpus, extra, work):
    entries = [line.rstrip("\n").split("\t") for line in open(os.path.join(corpus, "pages.tsv"), encoding="utf-8")]
    entries = [(os.path.join(corpus, "pages", name), lang) for name, lang in entries]
    entries += [tuple(arg.rsplit("=", 1)) for arg in extra]
    os.makedirs(os.path.join(work, "in"))
    os.makedirs(os.path.join(work, "out"))
    lines, originals, outputs, total = [], [], [], 0
    for path, lang in entries:
        name = os.path.basename(path)
        source, out = os.path.join(work, "in", name), os.path.join(work, "out", name)
        shutil.copyfile(path, source)
        if not run([program, lang, source, out]):
            continue
        original, marked = open(source, "rb").read(), open(out, "rb").read()
        count = read_document(name, original, marked, SHY.encode(), lang, lines, not name.endswith(".html"))
        total += count
        print(f"  {name} ({lang}): {len(original)} bytes, {count} marks")
        originals.append(source)
        outputs.append(out)
        if name.endswith(".html"):
            # The same page through standard input, with the format named and
            # with the mark as an entity: the same places.
            with open(source, "rb") as stdin:
                piped = subprocess.run([program, "--format=html", lang, "-", "-"], stdin=stdin, capture_output=True)
            if piped.stdout != marked:
                fault("html through standard input differs", f"{name}: exit {piped.returncode} "
                      f"{piped.stderr.decode(errors='replace').strip()[:200]}")
            if run([program, "--mark=&shy;", lang, source, out + ".entity"]):
                with_entity = open(out + ".entity", "rb").read()
                if insertions(original, with_entity, b"&shy;")[0] != insertions(original, marked, SHY.encode())[0]:
                    fault("--mark='&shy;' puts marks elsewhere", name)
    compared = compare_lines(program, lines, work)
    print(f"{len(outputs)} pages, {total} marks; {compared} words compared with text mode")
    before = chromium_documents(originals, work)
    after = chromium_documents(outputs, work)
    for path, a, b in zip(originals, before, after):
        # The page's own soft hyphens go too: that they stay is check b's.
        a, b = a.replace(SHY, ""), b.replace(SHY, "")
        if a != b:
            at = next((k for k in range(min(len(a), len(b))) if a[k] != b[k]), min(len(a), len(b)))
            fault("a: Chromium reads another document", f"{os.path.basename(path)}: from character {at}: "
                  f"{a[max(0, at - 60):at + 60]!r} became {b[max(0, at - 60):at + 60]!r}")
    print(f"Chromium read {len(originals)} pages before and after")


def book_documents(book):
    """The XHTML content documents of a book (names in the zip) and its first
    dc:language."""
    container = ElementTree.fromstring(book.read("META-INF/container.xml"))
    root = next(e.get("full-path") for e in container.iter() if e.tag.endswith("rootfile"))
    package = ElementTree.fromstring(book.read(root))
    base = os.path.dirname(root)
    lang = next((e.text.strip() for e in package.iter() if e.tag == "{http://purl.org/dc/elements/1.1/}language"
                 and e.text), "")
    documents = {os.path.normpath(os.path.join(base, e.get("href")))
                 for e in package.iter() if e.tag.endswith("}item") and e.get("media-type") == "application/xhtml+xml"}
    return documents, lang


def epubcheck(path):
    return subprocess.run(["java", "-jar", "/usr/share/java/epubcheck.jar", path], capture_output=True)


def books(program, corpus, work):
    lines, checks = [], []
    folder = os.path.join(corpus, "books")
    for name in sorted(n for n in os.listdir(folder) if n.endswith(".epub")):
        source, out = os.path.join(work, name), os.path.join(work, "marked-" + name)
        shutil.copyfile(os.path.join(folder, name), source)
        # The command line's language is one no document of these books is
        # in: the book's own must win.
        if not run([program, "en", source, out]):
            continue
        before, after = zipfile.ZipFile(source), zipfile.ZipFile(out)
        documents, lang = book_documents(before)
        names = [i.filename for i in before.infolist()]
        # mimetype comes first, where the book had it or not.
        if "mimetype" in names:
            names = ["mimetype"] + [n for n in names if n != "mimetype"]
        if [i.filename for i in after.infolist()] != names:
            fault("d: entries differ", f"{name}: {names} became {[i.filename for i in after.infolist()]}")
            continue
        if names[0] == "mimetype" and after.infolist()[0].compress_type != zipfile.ZIP_STORED:
            fault("d: mimetype not stored", name)
        marks = 0
        for entry in names:
            old, new = before.read(entry), after.read(entry)
            if entry in documents:
                marks += read_document(f"{name}:{entry}", old, new, SHY.encode(), lang, lines, True)
            elif old != new:
                fault("d: an entry other than an XHTML document changed", f"{name}: {entry}")
        print(f"  {name} ({lang}): {len(documents)} XHTML documents, {marks} marks")
        verdict = os.path.join(folder, name + ".epubcheck")
        if marks and os.path.exists(verdict) and open(verdict).read().strip() == "accepted":
            checks.append((name, out))
    compared = compare_lines(program, lines, work)
    print(f"{compared} words compared with text mode")
    with concurrent.futures.ThreadPoolExecutor(2) as pool:
        for (name, out), result in zip(checks, pool.map(epubcheck, [out for _, out in checks])):
            if result.returncode != 0:
                fault("d: epubcheck refuses the marked book", f"{name}: "
                      + " | ".join(l for l in result.stdout.decode(errors="replace").splitlines()
                                   if l.startswith(("ERROR", "FATAL")))[:600])
    print(f"epubcheck on {len(checks)} marked books that it accepted before")


def main():
    what, program, corpus = sys.argv[1:4]
    work = tempfile.mkdtemp(prefix="zarnet-markup-")
    try:
        if what == "pages":
            pages(program, corpus, sys.argv[4:], work)
        else:
            books(program, corpus, work)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for kind, found in faults.items():
        print(f"FAULT {kind}: {len(found)}", file=sys.stderr)
        for text in found[:8]:
            print(f"  {text}", file=sys.stderr)
    sys.exit(1 if faults else 0)


if __name__ == "__main__":
    main()
