#include "Language.h"

#include <QFile>
#include <QLocale>
#include <QStringDecoder>

namespace {
const QString EntrySeparator = QStringLiteral("§\r\n\r\n§");
const QString FieldSeparator = QStringLiteral("|\r\n");
} // namespace

const QStringList& LanguageNames()
{
    static const QStringList names {
        QStringLiteral("English"),   QStringLiteral("Français"), QStringLiteral("Español"),
        QStringLiteral("Dutch"),     QStringLiteral("Russian"),  QStringLiteral("Polski"),
        QStringLiteral("Português"), QStringLiteral("Roman"),    QStringLiteral("Italiano")};
    return names;
}

const QStringList& ComboLanguages()
{
    static const QStringList items {QStringLiteral("English"),   QStringLiteral("Dutch"),    QStringLiteral("Español"),
                                    QStringLiteral("Français"),  QStringLiteral("Italiano"), QStringLiteral("Polski"),
                                    QStringLiteral("Português"), QStringLiteral("Roman")};
    return items;
}

int LanguageColumn(const QString& language)
{
    return LanguageNames().indexOf(language) + 1;
}

QString Translate(const Localisation& loc, const QString& key, const QString& language)
{
    if (!loc.LanguageEntries)
        return {};
    const int col = LanguageColumn(language.isEmpty() ? loc.CurrentLanguage : language);
    QString result;
    // Every entry is examined: when a key occurs twice the last one wins.
    for (const QString& entry : *loc.LanguageEntries) {
        // Only an entry of this key is split: the window asks for dozens of texts at every start.
        const qsizetype keyEnd = entry.indexOf(FieldSeparator);
        if (QStringView(entry).left(keyEnd < 0 ? entry.size() : keyEnd) != key)
            continue;
        const QStringList fields = entry.split(FieldSeparator);
        // A field the entry does not have counts as a missing translation.
        result = fields.value(col);
        if (result.size() < 2)
            result = fields.value(1);
    }
    return result;
}

QString FillIn(QString text, const QStringList& values)
{
    // Replaced from the last so that "%1" never eats the start of "%10".
    for (qsizetype i = values.size(); i > 0; --i)
        text.replace(QLatin1Char('%') + QString::number(i), values.at(i - 1));
    return text;
}

QString DecodeLanguageBytes(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    // Windows-1252 is a superset of Latin-1 for every byte the old language files use.
    QStringDecoder cp1252("windows-1252");
    if (cp1252.isValid())
        return cp1252.decode(bytes);
    return QString::fromLatin1(bytes);
}

std::optional<QString> ReadWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return DecodeLanguageBytes(bytes);
}

QStringList SplitLanguageEntries(const QString& text)
{
    return text.split(EntrySeparator);
}

bool LoadLanguageFile(Localisation& loc, const QString& path)
{
    const std::optional<QString> text = ReadWholeFile(path);
    if (!text)
        return false;
    loc.LanguageEntries = SplitLanguageEntries(*text);
    return true;
}

quint16 ReduceLanguageId(quint16 id)
{
    return id & 0xFFF;
}

QString DetectSystemLanguage(const QString& systemLanguageName)
{
    static const QStringList searched {
        QStringLiteral("Français"), QStringLiteral("Español"),   QStringLiteral("Dutch"), QStringLiteral("Russian"),
        QStringLiteral("Polski"),   QStringLiteral("Português"), QStringLiteral("Roman"), QStringLiteral("Italiano")};
    for (const QString& name : searched) {
        if (systemLanguageName.contains(name))
            return name;
    }
    return QStringLiteral("English");
}

QString LanguageDisplayName(const QLocale& locale)
{
    const QString territory = QLocale::territoryToString(locale.territory());
    switch (locale.language()) {
    case QLocale::French:
        return QStringLiteral("Français (%1)").arg(locale.nativeTerritoryName());
    case QLocale::Spanish:
        return QStringLiteral("Español (%1)").arg(locale.nativeTerritoryName());
    case QLocale::Dutch:
        return QStringLiteral("Dutch (%1)").arg(territory);
    case QLocale::Russian:
        return QStringLiteral("Russian (%1)").arg(territory);
    case QLocale::Polish:
        return QStringLiteral("Polski");
    case QLocale::Portuguese:
        return QStringLiteral("Português (%1)").arg(locale.nativeTerritoryName());
    case QLocale::Romanian:
        return QStringLiteral("Romanian");
    case QLocale::Italian:
        return QStringLiteral("Italiano (%1)").arg(locale.nativeTerritoryName());
    default:
        return QLocale::languageToString(locale.language());
    }
}
