#!/usr/bin/env python3
"""Developer tool: builds simplified.tsv and english.tsv from the Markdown
reference that lists the language rows (message table, unit table, option
lists, property-list labels and caption rows).

Usage:  python3 extract_tables.py REFERENCE.md [OUTPUT_DIR]

The build never runs this script; its output files are committed and compiled
in through language.qrc.  Run it again only when the reference rows change,
then review the diff.

Output format (UTF-8, one row per line, in table order):
    category <TAB> sub <TAB> key <TAB> text <TAB> items
`items` is the comma text of the row's item list (empty for all rows but
one).  Backslash, tab and newline inside a field are written as \\\\, \\t, \\n.
The main-window caption row (category 0, key "frmMain") holds only the fixed
text; the loader appends the version text.
"""

import re
import sys
from pathlib import Path

QUOTED = r'"([^"]*)"'
PAIR = QUOTED + r' / ' + QUOTED                      # "English" / "Chinese"
NUMBERED = re.compile(r'(\d+) ' + PAIR)              # 0 "English" / "Chinese"
CAPTION = re.compile(r'(?:`([^`]+)`|' + QUOTED + r')(?: \(sub (\d+)\))? ' + PAIR)
MAIN_CAPTION = re.compile(r'`frmMain` ' + QUOTED + r' then the version text / ' + QUOTED)
TABLE_ROW = re.compile(r'^\| ' + QUOTED + r' \| ' + QUOTED + r' \| ' + QUOTED + r' \|$')
SUB_HEAD = re.compile(r'^- Sub (\d+)(?:, keys? ((?:"[^"]*"(?:, )?)+))?:')
CATEGORY_HEAD = re.compile(r'^- Category (\d+):')
ITEMS = re.compile(r'^\s+- Items of the row ' + QUOTED + r': English ' + QUOTED +
                   r'; simplified Chinese ' + QUOTED)


class Row:
    def __init__(self, category, sub, key, english, chinese):
        self.category, self.sub, self.key = category, sub, key
        self.english, self.chinese = english, chinese
        self.items_en = self.items_zh = ''


def section(lines, start_marker, end_marker):
    begin = next(i for i, l in enumerate(lines) if l.startswith(start_marker))
    end = next(i for i in range(begin + 1, len(lines)) if lines[i].startswith(end_marker))
    return lines[begin:end]


def parse(lines):
    rows = []
    mode = None          # which block of the reference we are in
    for line in lines:
        if line.startswith('Message rows (category 3'):
            mode = ('table', 3)
            continue
        if line.startswith('Unit rows (category 15'):
            mode = ('table', 15)
            continue
        if line.startswith('Option lists (category 11)'):
            mode = ('options', 11)
            continue
        if line.startswith('Property-list row labels (category 2'):
            mode = ('options', 2)
            continue
        if line.startswith('Caption rows.'):
            mode = ('captions', None)
            continue
        if mode is None:
            continue
        kind, category = mode
        if kind == 'table':
            m = TABLE_ROW.match(line)
            if m:
                rows.append(Row(category, 0, m.group(1), m.group(2), m.group(3)))
        elif kind == 'options':
            items = ITEMS.match(line)
            if items:
                row = next(r for r in reversed(rows) if r.english == items.group(1))
                row.items_en, row.items_zh = items.group(2), items.group(3)
                continue
            head = SUB_HEAD.match(line)
            if not head:
                continue
            sub = int(head.group(1))
            keys = re.findall(QUOTED, head.group(2)) if head.group(2) else ['vLEditor']
            body = line[head.end():]
            entries = NUMBERED.findall(body)
            for n, (index, en, zh) in enumerate(entries):
                if int(index) != n:
                    raise SystemExit(f'out-of-order entry {index} in: {line[:60]}')
                key = keys[n] if len(keys) > 1 else keys[0]
                rows.append(Row(category, sub, key, en, zh))
        else:
            head = CATEGORY_HEAD.match(line)
            if not head:
                continue
            category = int(head.group(1))
            body = line[head.end():]
            main = MAIN_CAPTION.search(body)
            if main:
                rows.append(Row(category, 0, 'frmMain', main.group(1), main.group(2)))
                body = body[main.end():]
            for name, quoted_key, sub, en, zh in CAPTION.findall(body):
                rows.append(Row(category, int(sub) if sub else 0, name or quoted_key, en, zh))
    return rows


def escape(field):
    return field.replace('\\', '\\\\').replace('\t', '\\t').replace('\n', '\\n')


def write(path, rows, english):
    with open(path, 'w', encoding='utf-8', newline='\n') as out:
        for r in rows:
            text = r.english if english else r.chinese
            items = r.items_en if english else r.items_zh
            fields = [str(r.category), str(r.sub), r.key, text, items]
            out.write('\t'.join(escape(f) for f in fields) + '\n')


def main():
    if len(sys.argv) < 2:
        raise SystemExit(__doc__)
    lines = Path(sys.argv[1]).read_text(encoding='utf-8').splitlines()
    lines = section(lines, 'Message rows (category 3', '**Interfaces**')
    rows = parse(lines)
    out_dir = Path(sys.argv[2]) if len(sys.argv) > 2 else Path(__file__).parent
    write(out_dir / 'simplified.tsv', rows, english=False)
    write(out_dir / 'english.tsv', rows, english=True)
    print(f'{len(rows)} rows written to {out_dir}')


if __name__ == '__main__':
    main()
