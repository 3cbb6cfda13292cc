#!/usr/bin/env bash
# Makes docs/screenshot.png: the window on the demo database with a product
# list loaded whose rows show every fate the preview gives (to be added, a
# barcode already registered, a repeat in the file, skipped, warned), on a
# virtual display with Turkish settings. With "update", docs/screenshot-update.png:
# three products of the list on the menu with prices, Fiyatları Güncelle
# ticked. With "menu", docs/screenshot-menu.png: a menu with a header row and
# a category column, Satışta Göster ticked. Needs xvfb, xdotool, imagemagick and
# python3, and a build of urunlertoplu and demo-setup in $BUILD_DIR (default
# build/app). The demo database goes to a scratch home folder, not to yours.
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ "${1:-}" != "--on-display" ]]; then
  exec xvfb-run -a -s "-screen 0 1000x600x24" "$0" --on-display "${1:-}"
fi
mode="${2:-}"
build=$(realpath "${BUILD_DIR:-build/app}")
workbook=$(realpath docs/screenshot_products.csv)
[[ "$mode" == menu ]] && workbook=$(realpath docs/screenshot_menu.csv)
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
HOME="$home" "$build/tools/demo/demo-setup"
# One product of the list is already on the menu.
/usr/bin/python3 -c 'import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
db.execute("INSERT INTO MenuItems (GroupCode, Barcode, ItemType, Name) VALUES (?, ?, 0, ?)", ("Fırın", "8691234567890", "Susamlı Simit"))
db.commit()' "$home/MenoraPOS-Restaurant/MenoraData/Menora POS.db"
if [[ "$mode" == update ]]; then
  # Çay, Türk Kahvesi and Ayran on the menu, Ayran already at the list's price.
  /usr/bin/python3 -c 'import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
for barcode, name, price in (("8690504012345", "Çay", 11), ("8690504012352", "Türk Kahvesi", 40), ("8690504012390", "Ayran", 15)):
    item = db.execute("INSERT INTO MenuItems (GroupCode, Barcode, ItemType, Name) VALUES (?, ?, 0, ?)", ("İçecek", barcode, name)).lastrowid
    portion = db.execute("INSERT INTO MenuItemPortions (Name, MenuItemId, Multiplier) VALUES (?, ?, 1)", ("Normal", item)).lastrowid
    db.execute("INSERT INTO MenuItemPrices (MenuItemPortionId, Price) VALUES (?, ?)", (portion, price))
db.commit()' "$home/MenoraPOS-Restaurant/MenoraData/Menora POS.db"
fi

LANG=tr_TR.UTF-8 HOME="$home" "$build/window/urunlertoplu" & app=$!
sleep 3
xdotool mousemove 97 34 click 1      # EXCELL SEÇ
sleep 2
xdotool type --delay 20 "$workbook"
xdotool key Return
sleep 2
if [[ "$mode" == menu ]]; then
  xdotool key Return                   # the message on how the columns were read
  sleep 1
  xdotool mousemove 640 308 click 1    # Satışta Göster
  sleep 2
  xdotool mousemove 200 113            # Türk Kahvesi: the group it lands in
  sleep 3
  import -window root -crop 846x408+0+0 +repage docs/screenshot-menu.png
elif [[ "$mode" == update ]]; then
  xdotool mousemove 640 336 click 1    # Fiyatları Güncelle
  sleep 2
  xdotool mousemove 200 113            # Türk Kahvesi: its old and new price
  sleep 3
  import -window root -crop 846x408+0+0 +repage docs/screenshot-update.png
else
  xdotool mousemove 60 150             # the repeated barcode: its tooltip
  sleep 3
  import -window root -crop 846x408+0+0 +repage docs/screenshot.png
fi
kill "$app"
