#include "batch/BatchOptions.h"

#include <algorithm>
#include <functional>
#include <map>

#include <QCommandLineOption>
#include <QCommandLineParser>

#include "import/ColourTable.h"

namespace batch {

namespace {

// Upper case in Turkish, then the letters an English keyboard lacks as their
// plain twins, so that "mavi", "MAVI" and "MAVİ" are one colour.
QString asciiFolded(const QString &text)
{
    QString folded = QLocale(QLocale::Turkish).toUpper(text.trimmed());
    const std::pair<char16_t, char16_t> plain[] = {
        {u'İ', u'I'}, {u'Ş', u'S'}, {u'Ğ', u'G'}, {u'Ü', u'U'}, {u'Ö', u'O'}, {u'Ç', u'C'}};
    for (const auto &[letter, twin] : plain)
        folded.replace(QChar(letter), QChar(twin));
    return folded;
}

// The position of `value` among `entries`, compared folded; -1 when none.
int positionOf(const QStringList &entries, const QString &value)
{
    const QString wanted = asciiFolded(value);
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (asciiFolded(entries.at(i)) == wanted)
            return int(i);
    }
    return -1;
}

QString bothLanguages(const QString &turkish, const QString &english)
{
    return turkish + QStringLiteral("\n") + english;
}

// Reads "barkod=C,ad=Stok Adı" into `columns`: each field by its key, its
// column by letters or by header text. Returns the usage error, or "".
QString readColumns(QList<import::ColumnChoice> &columns, const QString &value)
{
    columns.clear();
    for (const QString &part : value.split(u',')) {
        const qsizetype equals = part.indexOf(u'=');
        const QString key = (equals < 0 ? part : part.first(equals)).trimmed();
        const QString column = equals < 0 ? QString() : part.sliced(equals + 1).trimmed();
        const std::optional<import::ListField> field = import::fieldOfKey(key);
        if (!field)
            return bothLanguages(
                QStringLiteral("--columns: “%1” bir alan değil (barkod, ad, fiyat, grup, birim, yazıcı, renk, alt grup).")
                    .arg(part.trimmed()),
                QStringLiteral("--columns: “%1” names no field (barcode, name, price, group, unit, printer, colour, "
                               "submenu).")
                    .arg(part.trimmed()));
        if (column.isEmpty())
            return bothLanguages(QStringLiteral("--columns: %1 bir sütun harfi ya da başlık metni ister.").arg(key),
                                 QStringLiteral("--columns: %1 needs a column letter or a header text.").arg(key));
        const bool twice = std::any_of(columns.cbegin(), columns.cend(),
                                       [&](const import::ColumnChoice &given) { return given.field == *field; });
        if (twice)
            return bothLanguages(QStringLiteral("--columns: %1 iki kez verilmiş.").arg(key),
                                 QStringLiteral("--columns: %1 is given twice.").arg(key));
        columns.append({*field, column});
    }
    return {};
}

// Sets one option from its value; returns the usage error, or "".
using Setter = std::function<QString(BatchOptions &, const QString &)>;

const std::map<QString, Setter> &valueOptions()
{
    static const std::map<QString, Setter> options{
        {QStringLiteral("--group"),
         [](BatchOptions &o, const QString &v) {
             o.group = v;
             o.groupGiven = true;
             return QString();
         }},
        {QStringLiteral("--unit"),
         [](BatchOptions &o, const QString &v) {
             o.unitPosition = positionOf({QStringLiteral("Adet"), QStringLiteral("Kg")}, v);
             return o.unitPosition >= 0 ? QString()
                                        : bothLanguages(QStringLiteral("--unit Adet ya da Kg olmalı, “%1” değil.").arg(v),
                                                        QStringLiteral("--unit must be Adet or Kg, not “%1”.").arg(v));
         }},
        {QStringLiteral("--printer"),
         [](BatchOptions &o, const QString &v) {
             o.printer = v.trimmed();
             return QString();
         }},
        {QStringLiteral("--colour"),
         [](BatchOptions &o, const QString &v) {
             o.colourPosition = positionOf(import::colourNames(), v);
             const QString names = import::colourNames().join(u'|');
             return o.colourPosition >= 0
                        ? QString()
                        : bothLanguages(QStringLiteral("--colour şunlardan biri olmalı: %1; “%2” değil.").arg(names, v),
                                        QStringLiteral("--colour must be one of %1, not “%2”.").arg(names, v));
         }},
        {QStringLiteral("--submenu"),
         [](BatchOptions &o, const QString &v) {
             o.subMenuTag = v;
             return QString();
         }},
        {QStringLiteral("--duplicates"),
         [](BatchOptions &o, const QString &v) {
             const int policy = positionOf(
                 {QStringLiteral("skip"), QStringLiteral("add"), QStringLiteral("stop"), QStringLiteral("update")}, v);
             o.duplicates = DuplicatePolicy(std::max(policy, 0));
             return policy >= 0
                        ? QString()
                        : bothLanguages(
                              QStringLiteral("--duplicates skip, add, stop ya da update olmalı, “%1” değil.").arg(v),
                              QStringLiteral("--duplicates must be skip, add, stop or update, not “%1”.").arg(v));
         }},
        {QStringLiteral("--locale"),
         [](BatchOptions &o, const QString &v) {
             o.locale = QLocale(v);
             // QLocale falls back to "C" for a name it does not know.
             const bool known = o.locale.language() != QLocale::C || v == u"C" || v == u"POSIX";
             return known ? QString()
                          : bothLanguages(QStringLiteral("Bilinmeyen --locale: “%1” (örnek: tr_TR).").arg(v),
                                          QStringLiteral("Unknown --locale: “%1” (for example tr_TR).").arg(v));
         }},
        {QStringLiteral("--columns"),
         [](BatchOptions &o, const QString &v) { return readColumns(o.columns, v); }},
        {QStringLiteral("--settings"),
         [](BatchOptions &o, const QString &v) {
             o.targets.append({TargetSource::Kind::SettingsFile, v});
             return QString();
         }},
        {QStringLiteral("--connection"),
         [](BatchOptions &o, const QString &v) {
             o.targets.append({TargetSource::Kind::ConnectionText, v});
             return QString();
         }},
        {QStringLiteral("--report"),
         [](BatchOptions &o, const QString &v) {
             o.reportFile = v;
             return QString();
         }},
        {QStringLiteral("--undo"),
         [](BatchOptions &o, const QString &v) {
             o.undoJournal = v;
             return QString();
         }},
        {QStringLiteral("--export"),
         [](BatchOptions &o, const QString &v) {
             o.exportFile = v;
             return v.isEmpty() ? bothLanguages(QStringLiteral("--export bir dosya adı ister."),
                                                QStringLiteral("--export needs a file name."))
                                : QString();
         }},
    };
    return options;
}

const std::map<QString, bool BatchOptions::*> &switchOptions()
{
    static const std::map<QString, bool BatchOptions::*> switches{
        {QStringLiteral("--show"), &BatchOptions::showOnSalesScreen},
        {QStringLiteral("--dry-run"), &BatchOptions::dryRun},
        {QStringLiteral("--json"), &BatchOptions::json},
        {QStringLiteral("--undo-last"), &BatchOptions::undoLast},
        {QStringLiteral("--update-names"), &BatchOptions::updateNames},
        {QStringLiteral("--no-header"), &BatchOptions::noHeader},
    };
    return switches;
}

ParsedArguments usage(const QString &turkish, const QString &english)
{
    ParsedArguments parsed;
    parsed.usageError = bothLanguages(turkish, english);
    return parsed;
}

// Why an export cannot run with the rest of the line; "" when it can.
QString exportUsage(const BatchOptions &options, const QStringList &files)
{
    if (!files.isEmpty())
        return bothLanguages(QStringLiteral("--export ile tablo dosyası verilmez."),
                             QStringLiteral("--export takes no spreadsheet."));
    if (options.undoing() || options.dryRun)
        return bothLanguages(QStringLiteral("--export, --undo, --undo-last ve --dry-run ile birlikte verilmez."),
                             QStringLiteral("--export does not go with --undo, --undo-last or --dry-run."));
    if (options.targets.size() > 1)
        return bothLanguages(QStringLiteral("--export tek bir hedefle verilir."),
                             QStringLiteral("--export takes one target only."));
    return {};
}

// What is wrong with a line the parser refused, in both languages: an option
// it does not know, an option missing its value, or a switch given one.
ParsedArguments refusal(const QCommandLineParser &parser, const QStringList &arguments)
{
    if (!parser.unknownOptionNames().isEmpty()) {
        const QString name = parser.unknownOptionNames().first();
        const QString dashed = (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        return usage(QStringLiteral("Bilinmeyen seçenek: %1").arg(dashed), QStringLiteral("Unknown option: %1").arg(dashed));
    }
    for (const QString &argument : arguments) {
        const QString name = argument.section(u'=', 0, 0);
        if (argument.contains(u'=') && switchOptions().count(name) > 0)
            return usage(QStringLiteral("%1 bir değer almaz.").arg(name), QStringLiteral("%1 takes no value.").arg(name));
    }
    // Otherwise the last option wanted a value the line did not give.
    const QString last = arguments.isEmpty() ? QString() : arguments.last();
    return usage(QStringLiteral("%1 bir değer ister.").arg(last), QStringLiteral("%1 needs a value.").arg(last));
}

}  // namespace

ParsedArguments parseArguments(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOption(QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}));
    for (const auto &entry : valueOptions())
        parser.addOption(QCommandLineOption(entry.first.sliced(2), QString(), QStringLiteral("value")));
    for (const auto &entry : switchOptions())
        parser.addOption(QCommandLineOption(entry.first.sliced(2)));
    if (!parser.parse(arguments))
        return refusal(parser, arguments);

    ParsedArguments parsed;
    BatchOptions &options = parsed.options;
    QStringList files = parser.positionalArguments();
    parsed.help = files.removeAll(QStringLiteral("/?")) > 0;
    // In the order given, so that targets keep theirs: an option given
    // twice takes its values one by one.
    std::map<QString, qsizetype> taken;
    for (const QString &name : parser.optionNames()) {
        const QString dashed = QStringLiteral("--") + name;
        if (name == u"h" || name == u"help") {
            parsed.help = true;
        } else if (const auto flag = switchOptions().find(dashed); flag != switchOptions().end()) {
            options.*(flag->second) = true;
        } else if (const QString error = valueOptions().at(dashed)(options, parser.values(name).at(taken[name]++));
                   !error.isEmpty()) {
            parsed.usageError = error;
            return parsed;
        }
    }
    if (parsed.help)
        return parsed;
    if (options.updateNames && options.duplicates != DuplicatePolicy::Update)
        return usage(QStringLiteral("--update-names yalnız --duplicates update ile verilir."),
                     QStringLiteral("--update-names goes only with --duplicates update."));
    const auto byText = [](const import::ColumnChoice &choice) { return !import::columnOfLetters(choice.column); };
    if (options.noHeader && std::any_of(options.columns.cbegin(), options.columns.cend(), byText))
        return usage(QStringLiteral("--no-header ile --columns sütunları harfle verilir (C, AD), başlık metniyle değil."),
                     QStringLiteral("With --no-header, --columns takes letters (C, AD), not header texts."));
    if (options.exporting()) {
        parsed.usageError = exportUsage(options, files);
        if (!parsed.ok())
            return parsed;
        if (options.targets.isEmpty())
            options.targets.append({TargetSource::Kind::WindowDefault, {}});
        return parsed;
    }
    if (options.undoing()) {
        if (!files.isEmpty() || (options.undoLast && !options.undoJournal.isEmpty()))
            return usage(QStringLiteral("--undo-last ya da --undo DOSYA tek başına verilir; tablo dosyası verilmez."),
                         QStringLiteral("--undo-last or --undo FILE stands alone, without a spreadsheet."));
        if (!options.undoJournal.isEmpty() && options.targets.size() > 1)
            return usage(QStringLiteral("--undo tek bir hedefle verilir."), QStringLiteral("--undo takes one target only."));
        if (options.targets.isEmpty())
            options.targets.append({TargetSource::Kind::WindowDefault, {}});
        return parsed;
    }
    if (files.size() != 1) {
        // The stray words are not repeated: one may be a connection text
        // that lost its --connection, password and all.
        return files.isEmpty()
                   ? usage(QStringLiteral("Bir tablo dosyası verin."), QStringLiteral("Name one spreadsheet file."))
                   : usage(QStringLiteral("Yalnız bir tablo dosyası verin; %1 seçenek olmayan değer var.").arg(files.size()),
                           QStringLiteral("Name only one spreadsheet file; %1 values are not options.").arg(files.size()));
    }
    options.file = files.first();
    if (options.targets.isEmpty())
        options.targets.append({TargetSource::Kind::WindowDefault, {}});
    return parsed;
}

}  // namespace batch
