#pragma once
// Looking inside a written workbook, and writing one under a Turkish C
// library locale, for the tests of the workbook writers.

#include "spreadsheet/package/ZipArchive.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include <clocale>
#include <string>

// The C library's locale set, for the life of the object, to the first of
// the Turkish ones this system has: numbers there are written with a comma.
class TurkishCLocale {
public:
    TurkishCLocale() : before_(std::setlocale(LC_ALL, nullptr))
    {
        for (const char *name : {"tr_TR.UTF-8", "tr_TR.utf8", "tr_TR", "Turkish_Turkey.1254"}) {
            if (std::setlocale(LC_ALL, name) != nullptr && std::string(std::localeconv()->decimal_point) == ",")
                return;
        }
        std::setlocale(LC_ALL, before_.c_str());
        before_.clear();
    }
    ~TurkishCLocale()
    {
        if (!before_.empty())
            std::setlocale(LC_ALL, before_.c_str());
    }
    TurkishCLocale(const TurkishCLocale &) = delete;
    TurkishCLocale &operator=(const TurkishCLocale &) = delete;

    bool active() const { return !before_.empty(); }

private:
    std::string before_;  // empty when no Turkish locale could be set
};

inline QByteArray partOf(const QByteArray &archive, const char *name)
{
    const spreadsheet::package::ZipArchive zip(archive);
    const spreadsheet::package::CheckedPart part = zip.checked(name);
    EXPECT_EQ(part.problem, QString()) << name;
    QByteArray text(qsizetype(part.entry.size), '\0');
    spreadsheet::package::PartInflater inflater(part.entry);
    EXPECT_EQ(inflater.read(text.data(), int(text.size())), int(text.size())) << name;
    return text;
}

