#pragma once
// The connection module: reads the point-of-sale settings file, chooses the
// connection text and holds the one database connection the tool shares.

#include <QByteArray>
#include <QString>

#include "platform/ado/Connection.h"
#include "platform/xml/LoadResult.h"

namespace pugi { class xml_node; }

namespace baglanmodul {

// Text found in the settings file's ConnectionString element ("" when none).
extern QString ayarmetni;
// 1 when ayarmetni is usable (3 characters or more), else 0.
extern int ayarvar;
// The text placed after the provider prefix: ayarmetni when usable, else "".
extern QString baglantimetni;

// The one connection; created on first use, opened by baglantiac().
ado::Connection &baglanti();

// The fixed settings file path, in the local form of
// "C:\MenoraPOS-Restaurant\Menorauser\MenoraSettings.txt".
QString settingsFilePath();

// Loads the settings file, read in the encoding it declares, and leaves the
// ConnectionString content in ayarmetni; a file that cannot be read,
// converted or parsed gives "". Returns why the file could not be loaded,
// for the code and its tests: start-up tells the operator nothing. The path
// argument exists for tests; the program always reads settingsFilePath().
xml::LoadResult ayarlarioku(const QString &path = settingsFilePath());

// Whether start-up must stop on the settings file at `path` that loaded as
// `loaded`: it fails, with the operator's Turkish message as its reason,
// when the file declares an encoding its bytes cannot be converted from, so
// its connection text, if any, is unknown and the built-in fallback might
// be the wrong database. A success for every other outcome: a missing file
// or one without a ConnectionString still falls back.
platform::Outcome encodingRefusal(const xml::LoadResult &loaded, const QString &path = settingsFilePath());

// ayarlarioku() over a settings file's content already in memory; never
// Unreadable.
xml::LoadResult ayarlaricoz(const QByteArray &fileBytes);

// Searches `node` and everything below it, last match winning, and strips
// the ConnectionString tags from ayarmetni.
void baglantibul(const pugi::xml_node &node);

// The start-up choice: sets ayarvar and baglantimetni from ayarmetni.
void chooseConnection();

// The built-in fallback text that attaches the local database file.
QString fallbackConnectionText();

// The OLE DB text baglantiac() opens: the prefixed settings text or the
// fallback, by ayarvar.
QString connectionText();

// Opens baglanti() once with connectionText(); failures stay silent here and
// are kept in baglanti().lastOpen().
void baglantiac();

}  // namespace baglanmodul
