#pragma once

#include "platform/Platform.h"

// Settings in an INI file at the user's configuration location. Keys are stored in lower case so
// "Left" and "left" are one setting, as on the store the program was first written for.
class IniSettingsStore : public SettingsStore
{
public:
    // `path` empty: the per-user default location for the application.
    explicit IniSettingsStore(QString path = {});
    QString read(const QString& app, const QString& section, const QString& key) override;
    void write(const QString& app, const QString& section, const QString& key, const QString& value) override;

private:
    QString fileFor(const QString& app) const;
    // The text after "=" of a key's line, as written.
    static QString RawValue(const QString& file, const QString& section, const QString& key);
    QString path_;
};
