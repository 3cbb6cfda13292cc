#!/usr/bin/env bash
# Makes the README's pictures of the window, on the demo database, on a
# virtual display with Turkish settings. The mode names the picture:
#   (none)      docs/screenshot.png: docs/screenshot_products.csv loaded, its
#               rows showing every fate the preview gives, one registered
#               product; the tooltip of the repeated barcode
#   update      docs/screenshot-update.png: three products of the list on the
#               menu with prices, Fiyatları Güncelle ticked
#   menu        docs/screenshot-menu.png: a menu with a header row and a
#               category column, Satışta Göster ticked
#   large       docs/screenshot-large.png: the window enlarged, the legend of
#               the row colours
#   question    docs/screenshot-question.png: KAYDET with a row left in
#               "SEÇİLMEDİ" and Satışta Göster without a printer
#   duplicates  docs/screenshot-question-duplicates.png: the same question
#               together with the duplicates one
#   done        docs/screenshot-done.png: the completion message of a save
#               with skipped and warned rows
#   undo        docs/screenshot-undo.png: Geri Al's question
#   exit        docs/screenshot-exit.png: ÇIK with unsaved rows
#   nodb        docs/screenshot-nodb.png: no database
#   all         every one of them
# Needs xvfb, xdotool, imagemagick, openbox and python3, and a build of urunlertoplu
# and demo-setup in $BUILD_DIR (default build/app). The demo database goes
# to a scratch home folder, not to yours.
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ "${1:-}" == all ]]; then
  for mode in "" update menu large question duplicates done undo exit nodb; do "$0" "$mode"; done
  exit 0
fi
if [[ "${1:-}" != "--on-display" ]]; then
  exec xvfb-run -a -s "-screen 0 1000x600x24" "$0" --on-display "${1:-}"
fi
mode="${2:-}"
build=$(realpath "${BUILD_DIR:-build/app}")
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
database="$home/MenoraPOS-Restaurant/MenoraData/Menora POS.db"
sql() { /usr/bin/python3 -c 'import sqlite3, sys
db = sqlite3.connect(sys.argv[1]); db.executescript(sys.argv[2]); db.commit()' "$database" "$1"; }

workbook=$(realpath docs/screenshot_products.csv)
case "$mode" in
  menu|question) workbook=$(realpath docs/screenshot_menu.csv) ;;
  done|undo)
    # Clean rows, two to skip and two stored with a warning.
    workbook="$home/fiyat listesi.csv"
    printf '%s\n' "8690504012345;Çay;12,50" "8690504012352;Türk Kahvesi;45" "8690504012369;;10" \
      "8690504012376;Fıstıklı Baklava (kare dilim, bir porsiyon altı adet);180" "8690504012383;İkram Lokum;0" \
      "8690504012390;Ayran;15" "8690504012406;Su;" > "$workbook" ;;
esac

[[ "$mode" == nodb ]] || HOME="$home" "$build/tools/demo/demo-setup"
case "$mode" in
  ""|update|large|duplicates|exit)
    # One product of the list is already on the menu.
    sql "INSERT INTO MenuItems (GroupCode, Barcode, ItemType, Name) VALUES ('Fırın', '8691234567890', 0, 'Susamlı Simit');" ;;
esac
if [[ "$mode" == update ]]; then
  # Çay, Türk Kahvesi and Ayran on the menu, Ayran already at the list's price.
  /usr/bin/python3 -c 'import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
for barcode, name, price in (("8690504012345", "Çay", 11), ("8690504012352", "Türk Kahvesi", 40), ("8690504012390", "Ayran", 15)):
    item = db.execute("INSERT INTO MenuItems (GroupCode, Barcode, ItemType, Name) VALUES (?, ?, 0, ?)", ("İçecek", barcode, name)).lastrowid
    portion = db.execute("INSERT INTO MenuItemPortions (Name, MenuItemId, Multiplier) VALUES (?, ?, 1)", ("Normal", item)).lastrowid
    db.execute("INSERT INTO MenuItemPrices (MenuItemPortionId, Price) VALUES (?, ?)", (portion, price))
db.commit()' "$database"
fi

shot() { import -window root -crop "$1" +repage "docs/$2"; }
# Without a window manager there is no title bar; the title is what the
# picture without a database is about.
[[ "$mode" == nodb ]] && { openbox & sleep 1; }
LANG=tr_TR.UTF-8 HOME="$home" "$build/window/urunlertoplu" & app=$!
sleep 3
window=$(xdotool search --sync --onlyvisible --name "Toplu Ürün Ekle" | head -1)
xdotool mousemove --window "$window" 97 34 click 1   # EXCELL SEÇ
sleep 2
xdotool type --delay 20 "$workbook"
xdotool key Return
sleep 2
case "$mode" in
  menu)
    xdotool key Return                   # the message on how the columns were read
    sleep 1
    xdotool mousemove 640 308 click 1    # Satışta Göster
    sleep 2
    xdotool mousemove 200 113            # Türk Kahvesi: the group it lands in
    sleep 3
    shot 846x408+0+0 screenshot-menu.png ;;
  update)
    xdotool mousemove 640 336 click 1    # Fiyatları Güncelle
    sleep 2
    xdotool mousemove 200 113            # Türk Kahvesi: its old and new price
    sleep 3
    shot 846x408+0+0 screenshot-update.png ;;
  large)
    xdotool windowsize "$window" 1000 600
    sleep 2
    xdotool mousemove 700 450 click 1    # the window's own background: it takes the focus back
    sleep 1
    xdotool mousemove 690 265 sleep 0.5 mousemove 700 270   # the summary line: the legend
    sleep 3
    shot 1000x600+0+0 screenshot-large.png ;;
  question)
    xdotool key Return                   # the message on how the columns were read
    sleep 1
    xdotool mousemove 640 308 click 1    # Satışta Göster, no printer
    sleep 1
    xdotool mousemove 240 376 click 1    # KAYDET
    sleep 2
    shot 846x480+0+0 screenshot-question.png ;;
  duplicates)
    xdotool mousemove 640 308 click 1    # Satışta Göster, no printer
    sleep 1
    xdotool mousemove 240 376 click 1    # KAYDET
    sleep 2
    shot 846x560+0+0 screenshot-question-duplicates.png ;;
  done|undo)
    xdotool mousemove 700 77 click 1     # Grubu: a new group's name
    xdotool key ctrl+a
    xdotool type --delay 20 "Sıcak İçecekler"
    sleep 1
    xdotool mousemove 240 376 click 1    # KAYDET
    sleep 3
    if [[ "$mode" == done ]]; then
      shot 846x480+0+0 screenshot-done.png
    else
      xdotool key Tab space              # Geri Al, next to Tamam
      sleep 2
      shot 846x480+0+0 screenshot-undo.png
    fi ;;
  exit)
    xdotool mousemove 660 376 click 1    # ÇIK
    sleep 2
    shot 846x408+0+0 screenshot-exit.png ;;
  nodb)
    sleep 1
    import -window "$window" -frame docs/screenshot-nodb.png ;;   # with the title bar the manager drew
  *)
    xdotool mousemove 560 215 click 1   # a caption: the window takes the focus back from the dialog
    xdotool mousemove 60 140 sleep 0.5 mousemove 60 132   # the repeated barcode: its tooltip
    sleep 3
    shot 846x408+0+0 screenshot.png ;;
esac
kill "$app"
