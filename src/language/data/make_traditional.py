#!/usr/bin/env python3
"""Developer tool: derives traditional.tsv from simplified.tsv.

Usage:  python3 make_traditional.py

Each text and item list of the simplified table is turned into traditional
characters with the `opencc` command (Debian package "opencc", configuration
s2tw: Taiwan character forms, no phrase changes); the result was reviewed row
by row and needed no corrections.  The traditional table has no row for the
USB-disk export action, and its main-window caption has a wording of its own.
opencc is needed only here: the result is reviewed and committed, and the
build reads the committed file.
"""

import subprocess
from pathlib import Path

HERE = Path(__file__).parent
DROPPED_KEYS = {(1, 'actExport2UDisk')}
MAIN_CAPTION = 'LED顯示屏應用 '           # the loader appends the version text


def convert(texts):
    joined = '\n'.join(texts) + '\n'
    out = subprocess.run(['opencc', '-c', 's2tw.json'], input=joined.encode('utf-8'),
                         stdout=subprocess.PIPE, check=True).stdout.decode('utf-8')
    result = out.split('\n')[:len(texts)]
    if len(result) != len(texts):
        raise SystemExit('opencc changed the number of lines')
    return result


def main():
    rows = [line.split('\t') for line in
            (HERE / 'simplified.tsv').read_text(encoding='utf-8').splitlines()]
    rows = [r for r in rows if (int(r[0]), r[2]) not in DROPPED_KEYS]
    texts = convert([r[3] for r in rows])
    items = convert([r[4] for r in rows])
    with open(HERE / 'traditional.tsv', 'w', encoding='utf-8', newline='\n') as out:
        for row, text, item in zip(rows, texts, items):
            category, sub, key = row[0], row[1], row[2]
            if category == '0' and key == 'frmMain':
                text = MAIN_CAPTION
            for field in (text, item):
                field.encode('cp950')   # every text must exist in the Big5 code page
            out.write('\t'.join([category, sub, key, text, item]) + '\n')
    print(f'{len(rows)} rows written to {HERE / "traditional.tsv"}')


if __name__ == '__main__':
    main()
