#include "IniSettingsStore.h"

#include <QSettings>
#include <QStandardPaths>

IniSettingsStore::IniSettingsStore(QString path)
    : path_(std::move(path))
{
}

QString IniSettingsStore::fileFor(const QString& app) const
{
    if (!path_.isEmpty())
        return path_;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') + app
        + QLatin1Char('/') + app + QStringLiteral(".ini");
}

QString IniSettingsStore::read(const QString& app, const QString& section, const QString& key)
{
    // A damaged or unreadable file reads as empty: the caller's defaults apply.
    QSettings settings(fileFor(app), QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return {};
    const QVariant value = settings.value(section + QLatin1Char('/') + key.toLower());
    return value.canConvert<QString>() ? value.toString() : QString();
}

void IniSettingsStore::write(const QString& app, const QString& section, const QString& key, const QString& value)
{
    QSettings settings(fileFor(app), QSettings::IniFormat);
    settings.setValue(section + QLatin1Char('/') + key.toLower(), value);
    settings.sync();
}
