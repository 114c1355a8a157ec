#!/usr/bin/env python3
"""Writes the table of HTML's named character references (from Python's
html.entities, which follows the HTML standard) as C++: each name as written
after "&" (with its ";", or without one for the few a browser also takes
bare), and the UTF-8 text it stands for, sorted by name.

    make_entities.py OUT.cpp
"""
import html.entities
import sys


def c_string(data: bytes) -> str:
    # Every byte as an escape: a hex escape takes any hex digit after it.
    return '"' + ''.join(f'\\x{b:02X}' for b in data) + '"'


def main() -> None:
    entries = sorted((name.encode('ascii'), text.encode('utf-8')) for name, text in html.entities.html5.items())
    lines = ['// Made by scripts/make_entities.py from Python\'s html.entities.html5.',
             '#include "markup/entities.h"', '',
             'const NamedReference NAMED_REFERENCES[] = {']
    for name, text in entries:
        lines.append(f'    {{"{name.decode()}", {c_string(text)}}},')
    lines += ['};', f'const std::size_t NAMED_REFERENCE_COUNT = {len(entries)};', '']
    with open(sys.argv[1], 'w', encoding='ascii', newline='\n') as out:
        out.write('\n'.join(lines))


if __name__ == '__main__':
    main()
