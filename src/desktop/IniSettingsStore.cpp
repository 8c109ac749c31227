#include "IniSettingsStore.h"

#include <QFile>
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
    // An unquoted comma in a hand-edited value makes the file format read a list; the value is the
    // line as written, so it goes back unchanged on the next save.
    if (value.typeId() == QMetaType::QStringList)
        return RawValue(fileFor(app), section, stored);
    return value.canConvert<QString>() ? value.toString() : QString();
}

QString IniSettingsStore::RawValue(const QString& file, const QString& section, const QString& key)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    bool inSection = false;
    while (!in.atEnd()) {
        const QString line = QString::fromUtf8(in.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            inSection = line.mid(1, line.size() - 2) == section;
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (inSection && equals > 0 && line.left(equals).trimmed() == key)
            return line.mid(equals + 1).trimmed();
    }
    return {};
}

void IniSettingsStore::write(const QString& app, const QString& section, const QString& key, const QString& value)
{
    QSettings settings(fileFor(app), QSettings::IniFormat);
    settings.setValue(section + QLatin1Char('/') + key.toLower(), value);
    settings.sync();
}
