#!/usr/bin/python3
"""make_product_list.py OUT_DIR: writes the flat OpenDocument spreadsheets that
the spreadsheet programs turn into the test workbooks of every format:

- products.fods: one product list with a cell of every kind the readers
  render (Turkish letters, 13-digit barcodes, decimal, formula, empty, date,
  boolean, error, percent and currency prices), then a second sheet;
- hidden_first.fods: a first sheet that is hidden, a second that is shown
  and active, so that a reader taking the visible or active sheet is caught."""
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
<office:settings><config:config-item-set config:name="ooo:view-settings">
<config:config-item-map-indexed config:name="Views"><config:config-item-map-entry>
<config:config-item config:name="ActiveTable" config:type="string">{active}</config:config-item>
</config:config-item-map-entry></config:config-item-map-indexed></config:config-item-set></office:settings>
<office:automatic-styles>
<number:date-style style:name="Ndate"><number:day number:style="long"/><number:text>.</number:text><number:month number:style="long"/><number:text>.</number:text><number:year number:style="long"/></number:date-style>
<number:date-style style:name="Ndt"><number:day number:style="long"/><number:text>.</number:text><number:month number:style="long"/><number:text>.</number:text><number:year number:style="long"/><number:text> </number:text><number:hours number:style="long"/><number:text>:</number:text><number:minutes number:style="long"/></number:date-style>
<number:percentage-style style:name="Npct"><number:number number:decimal-places="0" number:min-integer-digits="1"/><number:text>%</number:text></number:percentage-style>
<number:currency-style style:name="Ncur"><number:number number:decimal-places="2" number:min-integer-digits="1" number:grouping="true"/><number:text> </number:text><number:currency-symbol number:language="tr" number:country="TR">₺</number:currency-symbol></number:currency-style>
<number:boolean-style style:name="Nbool"><number:boolean/></number:boolean-style>
<style:style style:name="cbool" style:family="table-cell" style:data-style-name="Nbool"/>
<style:style style:name="cdate" style:family="table-cell" style:data-style-name="Ndate"/>
<style:style style:name="cdt" style:family="table-cell" style:data-style-name="Ndt"/>
<style:style style:name="cpct" style:family="table-cell" style:data-style-name="Npct"/>
<style:style style:name="ccur" style:family="table-cell" style:data-style-name="Ncur"/>
<style:style style:name="hidden" style:family="table"><style:table-properties table:display="false"/></style:style>
</office:automatic-styles>
<office:body><office:spreadsheet>
"""
TAIL = "</office:spreadsheet></office:body></office:document>\n"


def text(value):
    return '<table:table-cell office:value-type="string"><text:p>{}</text:p></table:table-cell>'.format(escape(value))


def num(value):
    return '<table:table-cell office:value-type="float" office:value="{}"/>'.format(value)


def formula(expression):
    return "<table:table-cell table:formula={}/>".format(quoteattr("of:=" + expression))


def typed(style, kind, attribute, value, extra=""):
    return '<table:table-cell table:style-name="{}" office:value-type="{}" office:{}="{}"{}/>'.format(
        style, kind, attribute, value, extra)


def boolean(value):
    return '<table:table-cell table:style-name="cbool" office:value-type="boolean" office:boolean-value="{}"/>'.format(
        "true" if value else "false")


EMPTY = "<table:table-cell/>"


def table(name, rows, hidden=False):
    style = ' table:style-name="hidden"' if hidden else ""
    body = "".join("<table:table-row>{}</table:table-row>\n".format("".join(cells)) for cells in rows)
    return '<table:table table:name="{}"{}>\n{}</table:table>\n'.format(name, style, body)


def write(path, tables, active):
    with open(path, "w", encoding="utf-8") as out:
        out.write(HEAD.format(active=active) + "".join(tables) + TAIL)


PRODUCTS = [
    [text("Barkod"), text("Ürün Adı"), text("Fiyat")],
    [num("8690504012345"), text("Çay Bardağı"), num("12.5"), text("D sütunu okunmaz")],
    [num("8691234567890"), text("Şeker (1 kg)"), num("34.75")],
    [num("8690000000017"), text("Türk Kahvesi ğüşıöç İI"), formula("[.C2]*2")],
    [num("8690000000024"), text("Fiyatı Boş Ürün"), EMPTY],
    [num("8690000000031"), text("Tarihli Fiyat"), typed("cdate", "date", "date-value", "2024-03-15")],
    [num("8690000000048"), text("Mantıksal Fiyat"), boolean(True)],
    [num("8690000000055"), text("Hatalı Fiyat"), formula("1/0")],
    [num("8690000000062"), text("KDV Oranı"), typed("cpct", "percentage", "value", "0.18")],
    [num("8690000000079"), text("Lira Fiyatı"), typed("ccur", "currency", "value", "1234.5", ' office:currency="TRY"')],
    [text("0012345678905"), formula('"Sim"&"it"'), num("7.99")],
    [num("8690000000086"), text("İade"), num("-3.25")],
    [num("8690000000093"), text("Üçte Bir"), formula("1/3")],
    [EMPTY, text("Tarih ve Saat"), typed("cdt", "date", "date-value", "2024-03-15T13:45:00")],
    [num("8690000000109"), formula("1<2"), formula("0.1+0.2")],
    [num("8690000000116"), text("Çok Büyük"), num("1E+20")],
]


if __name__ == "__main__":
    out = sys.argv[1]
    write(out + "/products.fods",
          [table("Ürünler", PRODUCTS), table("Diğer", [[text("ikinci sayfa"), num("99")]])], "Ürünler")
    write(out + "/hidden_first.fods",
          [table("Gizli", [[text("gizli sayfa"), num("1")]], hidden=True),
           table("Görünen", [[text("görünen sayfa"), num("2")]])], "Görünen")
