#!/usr/bin/python3
"""Writes the flat OpenDocument spreadsheets that LibreOffice turns into the
test workbooks: lo_cells.fods (one cell of every kind the reader renders) and
lo_long.fods (enough text for a shared string table split by CONTINUE)."""
import sys
from xml.sax.saxutils import escape, quoteattr

HEAD = """<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"
 xmlns:config="urn:oasis:names:tc:opendocument:xmlns:config:1.0"
 xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
"""

SETTINGS = """<office:settings><config:config-item-set config:name="ooo:view-settings">
<config:config-item-map-indexed config:name="Views"><config:config-item-map-entry>
<config:config-item config:name="ActiveTable" config:type="string">{}</config:config-item>
</config:config-item-map-entry></config:config-item-map-indexed></config:config-item-set></office:settings>
"""

STYLES = """<office:automatic-styles>
<number:date-style style:name="Ndate"><number:day number:style="long"/><number:text>.</number:text><number:month number:style="long"/><number:text>.</number:text><number:year number:style="long"/></number:date-style>
<number:time-style style:name="Ntime"><number:hours number:style="long"/><number:text>:</number:text><number:minutes number:style="long"/></number:time-style>
<number:date-style style:name="Ndt"><number:day number:style="long"/><number:text>.</number:text><number:month number:style="long"/><number:text>.</number:text><number:year number:style="long"/><number:text> </number:text><number:hours number:style="long"/><number:text>:</number:text><number:minutes number:style="long"/></number:date-style>
<number:percentage-style style:name="Npct"><number:number number:decimal-places="0" number:min-integer-digits="1"/><number:text>%</number:text></number:percentage-style>
<style:style style:name="cdate" style:family="table-cell" style:data-style-name="Ndate"/>
<style:style style:name="ctime" style:family="table-cell" style:data-style-name="Ntime"/>
<style:style style:name="cdt" style:family="table-cell" style:data-style-name="Ndt"/>
<style:style style:name="cpct" style:family="table-cell" style:data-style-name="Npct"/>
</office:automatic-styles>
"""


def text(value):
    lines = "".join("<text:p>{}</text:p>".format(escape(line)) for line in value.split("\n"))
    return '<table:table-cell office:value-type="string">{}</table:table-cell>'.format(lines)


def num(value):
    return '<table:table-cell office:value-type="float" office:value="{}"/>'.format(value)


def formula(expression):
    return "<table:table-cell table:formula={}/>".format(quoteattr("of:=" + expression))


def styled(style, kind, attribute, value):
    return '<table:table-cell table:style-name="{}" office:value-type="{}" office:{}="{}"/>'.format(
        style, kind, attribute, value)


def boolean(value):
    return '<table:table-cell office:value-type="boolean" office:boolean-value="{}"/>'.format(
        "true" if value else "false")


EMPTY = "<table:table-cell/>"


def table(name, rows):
    body = "".join("<table:table-row>{}</table:table-row>\n".format("".join(cells)) for cells in rows)
    return '<table:table table:name="{}">\n{}</table:table>\n'.format(name, body)


def document(path, tables, active):
    with open(path, "w", encoding="utf-8") as out:
        out.write(HEAD + SETTINGS.format(active) + STYLES)
        out.write("<office:body><office:spreadsheet>\n" + "".join(tables))
        out.write("</office:spreadsheet></office:body></office:document>\n")


def cells_workbook(path):
    first = [
        [num("8690504012345"), text("Çay Bardağı"), num("12.5")],
        [formula("1/0"), formula('"Şe"&"ker"'), formula("1<2")],
        [formula("A1+1"), formula("NA()"), formula('""')],
        [boolean(False), text("  boşluk  "), formula("0.1+0.2")],
        [styled("cdate", "date", "date-value", "2024-03-15"), styled("ctime", "time", "time-value", "PT13H45M00S"),
         styled("cpct", "percentage", "value", "0.18")],
        [styled("cdt", "date", "date-value", "2024-03-15T13:45:00"), text("satır1\nsatır2"), num("-3.25")],
        [],
        [num("123456789.123456789"), text("🍕 Pizza, \"büyük\""), formula("10^20")],
        [num("1"), num("2"), num("3")],
        [num("1.5"), num("-2.25"), num("0.000001234")],
        [EMPTY, EMPTY, EMPTY, text("yalnız D")],
    ]
    second = [[text("ikinci sayfa"), num("99")]]
    document(path, [table("Ürünler", first), table("İkinci", second)], "İkinci")


def long_workbook(path):
    rows = []
    for i in range(1, 301):
        a = "ITEM-{:04d}-{}".format(i, "x" * (i % 37))
        b = "Ürün {} ğüşıöç {}".format(i, "ş" * (i % 23))
        rows.append([text(a), text(b), num(str(i * 1.25))])
    rows[149][1] = text(("Çok uzun ürün açıklaması ğüşİı " * 200)[:4000])
    rows[199][0] = text(("plain ascii text " * 300)[:4000])
    document(path, [table("Uzun", rows)], "Uzun")


if __name__ == "__main__":
    out = sys.argv[1]
    cells_workbook(out + "/lo_cells.fods")
    long_workbook(out + "/lo_long.fods")
