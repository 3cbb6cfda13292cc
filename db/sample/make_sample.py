#!/usr/bin/python3
"""Writes urunler.xls, the demo's product list: forty products, one per row,
A barcode (13-digit EAN number), B name, C price, as a customer's workbook
would hold them. Run: /usr/bin/python3 make_sample.py (needs python3-xlwt)."""
import os

import xlwt

PRODUCTS = [
    ("Mercimek Çorbası", 45.50), ("Ezogelin Çorbası", 45.50), ("Yayla Çorbası", 42.75),
    ("İşkembe Çorbası", 65.00), ("Adana Kebap", 185.50), ("Urfa Kebap", 185.50),
    ("İskender Kebap", 210.75), ("Tavuk Şiş", 145.25), ("Kuzu Şiş", 225.00),
    ("Patlıcan Kebabı", 195.50), ("Karışık Izgara", 289.90), ("Köfte Porsiyon", 155.50),
    ("Lahmacun", 55.25), ("Kaşarlı Pide", 110.50), ("Kıymalı Pide", 120.75),
    ("Kuşbaşılı Pide", 135.50), ("Çoban Salata", 48.50), ("Mevsim Salata", 52.25),
    ("Gavurdağı Salatası", 64.50), ("Cacık", 35.75), ("Humus", 58.50),
    ("Ezme", 38.25), ("Pilav Üstü Döner", 165.50), ("Dürüm Döner", 120.00),
    ("Sütlaç", 60.50), ("Künefe", 95.75), ("Fıstıklı Baklava (4 dilim)", 140.50),
    ("Kazandibi", 62.25), ("Kabak Tatlısı", 70.50), ("Türk Kahvesi", 40.50),
    ("Çay", 12.50), ("Fincan Çay", 18.75), ("Ayran", 22.50),
    ("Şalgam Suyu", 25.25), ("Taze Sıkılmış Portakal Suyu", 55.50), ("Maden Suyu", 15.75),
    ("Kola 330 ml", 35.50), ("Limonata", 42.25), ("Ihlamur", 30.50),
    ("Sahlep", 48.75),
]


def ean13(body):
    """`body` (12 digits) with its EAN-13 check digit appended, as a number."""
    digits = [int(d) for d in str(body)]
    total = sum(d * (3 if i % 2 else 1) for i, d in enumerate(digits))
    return body * 10 + (10 - total % 10) % 10


book = xlwt.Workbook(encoding="utf-8")
sheet = book.add_sheet("Ürünler")
price_style = xlwt.easyxf(num_format_str="0.00")
for row, (name, price) in enumerate(PRODUCTS):
    sheet.write(row, 0, ean13(869050401200 + row))
    sheet.write(row, 1, name)
    sheet.write(row, 2, price, price_style)
sheet.col(1).width = 256 * 32
book.save(os.path.join(os.path.dirname(os.path.abspath(__file__)), "urunler.xls"))
