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
    settings.beginGroup(section);
    // We write keys in lower case, but a file edited by hand may spell them any way.
    QString stored = key.toLower();
    if (!settings.contains(stored)) {
        const QStringList keys = settings.childKeys();
        for (const QString& candidate : keys) {
            if (candidate.compare(key, Qt::CaseInsensitive) == 0) {
                stored = candidate;
                break;
            }
        }
    }
    const QVariant value = settings.value(stored);
    // An unquoted comma in a hand-edited value makes the file format read a list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.canConvert<QString>() ? value.toString() : QString();
}

void IniSettingsStore::write(const QString& app, const QString& section, const QString& key, const QString& value)
{
    QSettings settings(fileFor(app), QSettings::IniFormat);
    settings.setValue(section + QLatin1Char('/') + key.toLower(), value);
    settings.sync();
}
