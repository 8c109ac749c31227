#include "Preferences.h"

#include "platform/Platform.h"

#include <QDir>

namespace {

// Every key the program keeps lives under this application and section. The store matches keys without
// regard to letter case; they are written with the spelling they always had.
const QString AppName = QStringLiteral("Reelpocket");
const QString Section = QStringLiteral("Config");
const QString TopKey = QStringLiteral("Top");
const QString LeftKey = QStringLiteral("Left");
const QString LeftWrittenKey = QStringLiteral("left");
const QString DestinationKey = QStringLiteral("Destination");
const QString LanguageKey = QStringLiteral("Language");

QString Read(SettingsStore& store, const QString& key)
{
    return store.read(AppName, Section, key);
}

void Write(SettingsStore& store, const QString& key, const QString& value)
{
    store.write(AppName, Section, key, value);
}

// Only a clear (0) or ticked (1) value is taken; anything else, nothing stored included, gives the fallback.
bool OptionValue(const QString& stored, bool fallback)
{
    bool ok = false;
    const int value = stored.trimmed().toInt(&ok);
    return ok && (value == 0 || value == 1) ? value == 1 : fallback;
}

std::optional<int> WholeNumber(const QString& stored)
{
    bool ok = false;
    const int value = stored.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

} // namespace

OutputFormat SavedOutputFormat(const Preferences& preferences)
{
    if (preferences.opt4K)
        return OutputFormat::FourK;
    return preferences.optFullHD ? OutputFormat::FullHd : OutputFormat::Classic;
}

Preferences ReadPreferences(SettingsStore& store, SystemFacts& system)
{
    Preferences p;
#define REELPOCKET_READ_OPTION(key, fallback) p.key = OptionValue(Read(store, QStringLiteral(#key)), fallback);
    REELPOCKET_OPTIONS(REELPOCKET_READ_OPTION)
#undef REELPOCKET_READ_OPTION

    const QString top = Read(store, TopKey);
    const QString left = Read(store, LeftKey);
    // A store that never saw the window close has no place for it, and its destination is not trusted.
    const bool placed = !top.isEmpty() && !left.isEmpty();
    p.destination = placed ? Read(store, DestinationKey) : system.defaultDestination();
    const std::optional<int> topTwips = WholeNumber(top);
    const std::optional<int> leftTwips = WholeNumber(left);
    if (topTwips && leftTwips)
        p.windowPosition = WindowPosition {*topTwips, *leftTwips};

    p.language = Read(store, LanguageKey);
    return p;
}

void SaveOptions(SettingsStore& store, const Preferences& p)
{
#define REELPOCKET_WRITE_OPTION(key, fallback)                                                                         \
    Write(store, QStringLiteral(#key), p.key ? QStringLiteral("1") : QStringLiteral("0"));
    REELPOCKET_OPTIONS(REELPOCKET_WRITE_OPTION)
#undef REELPOCKET_WRITE_OPTION
    Write(store, LanguageKey, p.language);
}

void SaveWindowState(SettingsStore& store, const Preferences& p)
{
    if (p.windowPosition) {
        Write(store, TopKey, QString::number(p.windowPosition->top));
        Write(store, LeftWrittenKey, QString::number(p.windowPosition->left));
    }
    Write(store, DestinationKey, p.destination);
}

void CreateDefaultDestination(SystemFacts& system, const QString& destination)
{
    if (destination == system.defaultDestination())
        QDir().mkpath(destination);
}
