#!/usr/bin/env python3
"""Writes the C++ source that builds the UTF-8 pattern sets into zarnet-utf8.

    embed_sets.py SETS_DIR OUT.cpp

SETS_DIR is patterns/utf8: sets.tsv (name, language, left, right, tags,
...) and, for each set, <name>.pat and, when it has exceptions, <name>.hyp.
Every file is embedded byte for byte, its licence header included."""
import csv
import os
import sys


def literal(data):
    """A C++ string literal of the bytes, in lines of modest length."""
    out = ['"']
    width = 0
    for b in data:
        if b == 0x0A:
            piece = '\\n"\n    "'
            width = 0
        elif b in (0x22, 0x5C):
            piece = '\\' + chr(b)
        elif 0x20 <= b < 0x7F and b != 0x3F:
            piece = chr(b)
        else:
            piece = '\\%03o' % b
        out.append(piece)
        width += len(piece)
        if width > 100:
            out.append('"\n    "')
            width = 0
    out.append('"')
    return ''.join(out)


def main():
    folder, target = sys.argv[1], sys.argv[2]
    with open(os.path.join(folder, 'sets.tsv'), encoding='utf-8', newline='') as table:
        rows = list(csv.DictReader(table, delimiter='\t'))
    lines = ['// Made by scripts/embed_sets.py from patterns/utf8; not to be edited.',
             '#include "utf8/pattern_sets.h"', '',
             '// A pattern file is one string, longer than the least that compilers must take.',
             '#pragma GCC diagnostic ignored "-Woverlength-strings"', '', 'namespace {', '']
    entries = []
    for k, row in enumerate(rows):
        name = row['name']
        with open(os.path.join(folder, name + '.pat'), 'rb') as f:
            patterns = f.read()
        hyp_path = os.path.join(folder, name + '.hyp')
        exceptions = b''
        if os.path.exists(hyp_path):
            with open(hyp_path, 'rb') as f:
                exceptions = f.read()
        lines.append('const char patterns_%d[] = %s;' % (k, literal(patterns)))
        lines.append('const char exceptions_%d[] = %s;' % (k, literal(exceptions)))
        entries.append('    {%s, %s, %d, %d, %s, {patterns_%d, sizeof patterns_%d - 1}, '
                       '{exceptions_%d, sizeof exceptions_%d - 1}},' % (
                           literal(name.encode()), literal(row['language'].encode()), int(row['left']),
                           int(row['right']), literal(row['tags'].encode()), k, k, k, k))
    lines += ['', '}  // namespace', '', 'const PatternSet PATTERN_SETS[] = {'] + entries + [
        '};', '', 'const std::size_t PATTERN_SET_COUNT = sizeof PATTERN_SETS / sizeof PATTERN_SETS[0];', '']
    text = '\n'.join(lines)
    if os.path.exists(target):
        with open(target, encoding='utf-8') as f:
            if f.read() == text:
                return
    with open(target, 'w', encoding='utf-8') as f:
        f.write(text)


main()
