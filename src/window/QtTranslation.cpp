#include "QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

QString QtTranslationLocale(const QString& language)
{
    static const QList<QPair<QString, QString>> locales {
        {QStringLiteral("Français"), QStringLiteral("fr")}, {QStringLiteral("Español"), QStringLiteral("es")},
        {QStringLiteral("Dutch"), QStringLiteral("nl")},    {QStringLiteral("Russian"), QStringLiteral("ru")},
        {QStringLiteral("Polski"), QStringLiteral("pl")},   {QStringLiteral("Português"), QStringLiteral("pt_BR")},
        {QStringLiteral("Roman"), QStringLiteral("ro")},    {QStringLiteral("Italiano"), QStringLiteral("it")}};
    for (const auto& [name, locale] : locales) {
        if (name == language)
            return locale;
    }
    return {};
}

bool LoadQtTranslation(const QString& language)
{
    static QTranslator* translator = nullptr;
    if (translator) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
        translator = nullptr;
    }
    const QString locale = QtTranslationLocale(language);
    if (locale.isEmpty())
        return false;
    auto* loaded = new QTranslator;
    if (!loaded->load(QStringLiteral("qtbase_") + locale, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete loaded;
        return false;
    }
    QCoreApplication::installTranslator(loaded);
    translator = loaded;
    return true;
}
