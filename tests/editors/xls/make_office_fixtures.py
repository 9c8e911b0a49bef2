#!/usr/bin/python3
# Writes the .xls spreadsheets of the number-format and sheet-choice tests
# with LibreOffice (Debian: libreoffice-calc-nogui): each workbook is written
# here as a flat OpenDocument file and converted by `soffice --headless`.
# The files are committed; run this from this folder only to make them again.
import os
import subprocess
import tempfile

HEAD = """<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"
 xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:automatic-styles>
 <number:number-style style:name="N2"><number:number number:decimal-places="2" number:min-decimal-places="2" number:min-integer-digits="1"/></number:number-style>
 <number:number-style style:name="N4"><number:number number:decimal-places="2" number:min-decimal-places="2" number:min-integer-digits="1" number:grouping="true"/></number:number-style>
 <number:percentage-style style:name="P0"><number:number number:decimal-places="0" number:min-decimal-places="0" number:min-integer-digits="1"/><number:text>%</number:text></number:percentage-style>
 <number:percentage-style style:name="P2"><number:number number:decimal-places="2" number:min-decimal-places="2" number:min-integer-digits="1"/><number:text>%</number:text></number:percentage-style>
 <number:date-style style:name="D1"><number:day number:style="long"/><number:text>.</number:text><number:month number:style="long"/><number:text>.</number:text><number:year number:style="long"/></number:date-style>
 <number:date-style style:name="D2"><number:year number:style="long"/><number:text>-</number:text><number:month number:style="long"/><number:text>-</number:text><number:day number:style="long"/><number:text> </number:text><number:hours number:style="long"/><number:text>:</number:text><number:minutes number:style="long"/></number:date-style>
 <number:boolean-style style:name="B1"><number:boolean/></number:boolean-style>
 <style:style style:name="two" style:family="table-cell" style:data-style-name="N2"/>
 <style:style style:name="grouped" style:family="table-cell" style:data-style-name="N4"/>
 <style:style style:name="percent" style:family="table-cell" style:data-style-name="P0"/>
 <style:style style:name="percent2" style:family="table-cell" style:data-style-name="P2"/>
 <style:style style:name="day" style:family="table-cell" style:data-style-name="D1"/>
 <style:style style:name="stamp" style:family="table-cell" style:data-style-name="D2"/>
 <style:style style:name="truth" style:family="table-cell" style:data-style-name="B1"/>
 <style:style style:name="shown" style:family="table" style:master-page-name="Default"><style:table-properties table:display="true" style:writing-mode="lr-tb"/></style:style>
 <style:style style:name="hidden" style:family="table" style:master-page-name="Default"><style:table-properties table:display="false" style:writing-mode="lr-tb"/></style:style>
</office:automatic-styles>
<office:body><office:spreadsheet>
"""
TAIL = "</office:spreadsheet></office:body></office:document>\n"


def text(s):
    return f'<table:table-cell office:value-type="string"><text:p>{s}</text:p></table:table-cell>'


def number(v, style=None, formula=None):
    extra = f' table:style-name="{style}"' if style else ""
    if formula:
        extra += f' table:formula="{formula}"'
    return f'<table:table-cell{extra} office:value-type="float" office:value="{v}"><text:p>{v}</text:p></table:table-cell>'


def percent(v, style="percent"):
    return f'<table:table-cell table:style-name="{style}" office:value-type="percentage" office:value="{v}"><text:p>{v}</text:p></table:table-cell>'


def boolean(v):
    word = "true" if v else "false"
    return f'<table:table-cell table:style-name="truth" office:value-type="boolean" office:boolean-value="{word}"><text:p>{word.upper()}</text:p></table:table-cell>'


def date(v, style="day"):
    return f'<table:table-cell table:style-name="{style}" office:value-type="date" office:date-value="{v}"><text:p>{v}</text:p></table:table-cell>'


def sheet(name, rows, hidden=False):
    style = ' table:style-name="hidden"' if hidden else ' table:style-name="shown"'
    body = "".join("<table:table-row>" + "".join(r) + "</table:table-row>" for r in rows)
    return f'<table:table table:name="{name}"{style}>{body or "<table:table-row><table:table-cell/></table:table-row>"}</table:table>'


BOOKS = {
    # The table, each column in another format, then a hidden sheet. (The
    # export shows a hidden first sheet again; make_fixtures.py has one.)
    "formats": [
        sheet("Prices", [
            [text("Item"), text("Price"), text("Share"), text("In stock"), text("Since"), text("Total")],
            [text("Tea"), number(553.5, "two"), percent(0.25), boolean(True), date("2026-12-09"),
             number(1107, "grouped", "of:=[.B2]*2")],
            [text("Rice"), number(1234.5, "grouped"), percent(0.125, "percent2"), boolean(False),
             date("2026-12-09T14:30:00", "stamp")],
            [text("Salt"), number(1.0 / 3), number(1234567), number(-2.675, "two")],
        ]),
        sheet("Secret", [[text("hidden sheet")]], hidden=True),
    ],
    # An empty cover sheet before the sheet with the values.
    "cover": [
        sheet("Cover", []),
        sheet("Data", [[text("台位"), text("温度")], [text("Hall"), number(21.5, "two")]]),
    ],
    # Every sheet hidden but one empty one: nothing to take.
    "hiddenonly": [
        sheet("Visible", []),
        sheet("Secret", [[text("hidden sheet")]], hidden=True),
    ],
}

with tempfile.TemporaryDirectory() as tmp:
    for name, sheets in BOOKS.items():
        source = os.path.join(tmp, name + ".fods")
        with open(source, "w", encoding="utf-8") as f:
            f.write(HEAD + "".join(sheets) + TAIL)
        subprocess.run(["soffice", f"-env:UserInstallation=file://{tmp}/profile", "--headless",
                        "--convert-to", "xls:MS Excel 97", "--outdir", ".", source], check=True)
