#pragma once
// Qt's own texts (the file dialog, the standard buttons of message boxes) in
// the operator's language.

class QLocale;
class QTranslator;

// Installs Qt's translations for `locale` on the running application and
// returns the translator (owned by the application), or nullptr when none is
// installed for that language: Qt's texts then stay in English.
QTranslator *installQtTranslations(const QLocale &locale);
