#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

class QLocale;

// The loaded language table and the current user-interface language.
struct Localisation
{
    QString CurrentLanguage;
    // Entries of the language file in file order; absent until the file is loaded.
    std::optional<QStringList> LanguageEntries;
};

// The nine language names in column order (column 1 is "English").
const QStringList& LanguageNames();
// The items of the language combo box, in their fixed order.
const QStringList& ComboLanguages();
// 1..9 for a known language name, 0 otherwise.
int LanguageColumn(const QString& language);

// The text of `key` in `language` (empty: the current language), falling back to English when the
// translation has fewer than two characters; "" for an unknown key; the key itself for an unknown language.
QString Translate(const Localisation& loc, const QString& key, const QString& language = QString());

// A translated text with its "%1", "%2", ... replaced by the values, in order.
QString FillIn(QString text, const QStringList& values);

// UTF-8 when the bytes are valid UTF-8, else Windows-1252.
QString DecodeLanguageBytes(const QByteArray& bytes);
// The whole file as text; nullopt when it cannot be opened or read.
std::optional<QString> ReadWholeFile(const QString& path);
// The entries of the language file's text, in file order.
QStringList SplitLanguageEntries(const QString& text);
// Replaces the entries with those of the file; false (entries unchanged) when the file cannot be read.
bool LoadLanguageFile(Localisation& loc, const QString& path);

// The identifier reduced to its last three hexadecimal digits.
quint16 ReduceLanguageId(quint16 id);
// The first language name found in the system's display name of its language, else "English".
QString DetectSystemLanguage(const QString& systemLanguageName);
// The display name of a locale's language in the form the language detection searches:
// "Français (France)", "Español (España)", "Dutch", "Russian", "Polski", "Português (Brasil)",
// "Romanian", "Italiano", and the English name for every other language.
QString LanguageDisplayName(const QLocale& locale);
