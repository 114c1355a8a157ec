#!/usr/bin/env bash
# Lays out real web pages and books in several languages and scripts, taken
# from Debian's manuals in HTML (debian-reference-*, developers-reference-*),
# for the markup tests and the markup benchmark:
#   make_markup_pages.sh DIR [bench]
# DIR/pages/ holds the pages and DIR/pages.tsv one line for each: file name,
# then the LANG to give zarnet-utf8 (the language of text that no lang
# attribute covers). The debian-reference pages have no lang attribute; the
# developers-reference pages say theirs on <html> and get "en" on the command
# line, so the page's own language must win. Japanese and Chinese have no
# pattern set: their pages must get no marks. A chapter of the book below
# (pandoc's XHTML) is there too.
# DIR/books/ holds EPUBs: three made with pandoc from the pages' packages
# (German, Russian, and Japanese, which must get no marks), and the French developers-reference as Debian ships it
# (made by Sphinx, with `mimetype` not first), each with epubcheck's verdict
# beside it in NAME.epubcheck ("accepted" or "refused") where epubcheck is
# installed. With "bench", also DIR/bench/book.epub, the whole German
# debian-reference made into one book, and DIR/bench/chapter.xhtml, its
# chapter nearest 90 KB.
# Needs apt-get (the packages are only downloaded and unpacked, never
# installed), dpkg-deb, pandoc and python3. What is already there is kept,
# as long as this script is the same.
set -euo pipefail
dir=$(mkdir -p "$1" && cd "$1" && pwd)
mode=${2:-test}
debs=$dir/debs
# Books made by another version of this script are made again.
recipe=$(sha256sum <"${BASH_SOURCE[0]}" | cut -d' ' -f1)
if [ "$(cat "$dir/recipe" 2>/dev/null)" != "$recipe" ]; then
  rm -rf "${dir:?}/books" "${dir:?}/bench" "${dir:?}/pages"
  echo "$recipe" >"$dir/recipe"
fi
mkdir -p "$debs" "$dir/pages" "$dir/books"

# unpack PACKAGE...: each package's files under $debs/root
unpack() {
  local package
  for package in "$@"; do
    [ -e "$debs/$package.done" ] && continue
    if ! (cd "$debs" && apt-get download "$package" >/dev/null 2>&1); then
      apt-get update -q >/dev/null 2>&1 || true
      (cd "$debs" && apt-get download "$package" >/dev/null) ||
        { echo "make_markup_pages.sh: cannot download $package" >&2; exit 1; }
    fi
    dpkg-deb -x "$debs/${package}"_*.deb "$debs/root"
    rm -f "$debs/${package}"_*.deb
    touch "$debs/$package.done"
  done
}
unpack debian-reference-de debian-reference-fr debian-reference-es debian-reference-it debian-reference-pt \
  debian-reference-zh-cn developers-reference-de developers-reference-fr developers-reference-it \
  developers-reference-ru developers-reference-ja
dr=$debs/root/usr/share/debian-reference
dev=$debs/root/usr/share/developers-reference

# book OUT LANG HTML...: an EPUB 3 made by pandoc, a chapter for each page.
# What would make epubcheck refuse the book is left out: the pages' links and
# images (which point outside the book), the anchors without text that would
# become empty entries of the table of contents, and the tables' widths.
# epubcheck's verdict on the book goes to OUT.epubcheck ("accepted" or
# "refused"), where epubcheck is installed.
book() {
  local out=$1 lang=$2 page
  shift 2
  [ -s "$out" ] && return
  local tmp
  tmp=$(mktemp -d)
  for page in "$@"; do sed 's/ width="[^"]*"//g' "$page" >"$tmp/${page##*/}"; done
  cat >"$tmp/filter.lua" <<'LUA'
function Image(el) return {} end
function Link(el) return el.content end
function Span(el) if #el.content == 0 then return {} end end
function Header(el) if pandoc.utils.stringify(el) == "" then return {} end end
LUA
  (cd "$tmp" && pandoc -f html-native_divs -t epub3 --lua-filter filter.lua --metadata title="Debian ($lang)" \
    --metadata lang="$lang" -o book.epub "${@##*/}" 2>/dev/null)
  mv "$tmp/book.epub" "$out"
  rm -rf "$tmp"
}
# check_book EPUB: epubcheck's verdict in EPUB.epubcheck
check_book() {
  [ -f /usr/share/java/epubcheck.jar ] && [ ! -s "$1.epubcheck" ] || return 0
  if java -jar /usr/share/java/epubcheck.jar "$1" >/dev/null 2>&1; then echo accepted; else echo refused; fi \
    >"$1.epubcheck"
}

manifest=$dir/pages.tsv.new
: >"$manifest"
# page SOURCE NAME LANG
page() {
  cp "$1" "$dir/pages/$2"
  printf '%s\t%s\n' "$2" "$3" >>"$manifest"
}
page "$dr/ch03.de.html" dr-ch03.de.html de
page "$dr/ch01.de.html" dr-ch01.de.html de
page "$dr/ch04.fr.html" dr-ch04.fr.html fr
page "$dr/ch05.es.html" dr-ch05.es.html es
page "$dr/ch08.it.html" dr-ch08.it.html it
page "$dr/ch03.pt.html" dr-ch03.pt.html pt-BR
page "$dr/ch08.zh-cn.html" dr-ch08.zh-cn.html zh-CN
page "$dev/de/l10n.html" dev-l10n.de.html en
page "$dev/fr/new-maintainer.html" dev-new-maintainer.fr.html en
page "$dev/it/developer-duties.html" dev-developer-duties.it.html en
page "$dev/ru/pkgs.html" dev-pkgs.ru.html en
page "$dev/ja/l10n.html" dev-l10n.ja.html en

book "$dir/books/dr.de.epub" de-DE "$dr/ch03.de.html" "$dr/ch04.de.html"
book "$dir/books/dev.ru.epub" ru "$dev/ru/l10n.html" "$dev/ru/new-maintainer.html" "$dev/ru/scope.html"
book "$dir/books/dev.ja.epub" ja "$dev/ja/l10n.html"
cp "$dev/fr/developers-reference.epub" "$dir/books/dev-sphinx.fr.epub"
for epub in "$dir"/books/*.epub; do check_book "$epub"; done
# A chapter of the German book as an XHTML page of its own.
python3 - "$dir/books/dr.de.epub" "$dir/pages/dr-book-ch03.de.xhtml" <<'EOF'
import sys, zipfile
book = zipfile.ZipFile(sys.argv[1])
name = max((n for n in book.namelist() if n.startswith("EPUB/text/ch")), key=lambda n: book.getinfo(n).file_size)
open(sys.argv[2], "wb").write(book.read(name))
EOF
printf '%s\t%s\n' dr-book-ch03.de.xhtml de >>"$manifest"
mv "$manifest" "$dir/pages.tsv"

if [ "$mode" = bench ]; then
  mkdir -p "$dir/bench"
  chapters=("$dr/index.de.html" "$dr/pr01.de.html" "$dr"/ch[01]*.de.html "$dr/apa.de.html")
  book "$dir/bench/book.epub" de-DE "${chapters[@]}"
  python3 - "$dir/bench/book.epub" "$dir/bench/chapter.xhtml" <<'EOF'
import sys, zipfile
book = zipfile.ZipFile(sys.argv[1])
name = min((n for n in book.namelist() if n.startswith("EPUB/text/ch")),
           key=lambda n: abs(book.getinfo(n).file_size - 90000))
open(sys.argv[2], "wb").write(book.read(name))
EOF
fi
