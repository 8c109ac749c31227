#include "WhenDone.h"

std::optional<WhenDone> WhenDoneNamed(const QString& name)
{
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("quit"))
        return WhenDone::Quit;
    if (n == QLatin1String("suspend"))
        return WhenDone::Suspend;
    if (n == QLatin1String("poweroff"))
        return WhenDone::PowerOff;
    return std::nullopt;
}

QStringList WhenDoneChoiceKeys()
{
    return {QStringLiteral("comboWhenDone_nothing"), QStringLiteral("comboWhenDone_quit"),
            QStringLiteral("comboWhenDone_suspend"), QStringLiteral("comboWhenDone_poweroff")};
}

bool WhenDoneDue(WhenDone action, const BatchSummary& summary)
{
    return action != WhenDone::Nothing && summary.ending == BatchSummary::Ending::Finished;
}

QString WhenDoneCountdownText(const Localisation& lang, WhenDone action, int secondsLeft)
{
    const char* key = action == WhenDone::Quit ? "whenDone_quit"
        : action == WhenDone::Suspend          ? "whenDone_suspend"
                                               : "whenDone_poweroff";
    return FillIn(Translate(lang, QLatin1String(key)), {QString::number(secondsLeft)});
}

std::optional<QString> PerformWhenDone(const Localisation& lang, WhenDone action, Power* power)
{
    if (action != WhenDone::Suspend && action != WhenDone::PowerOff)
        return std::nullopt;
    const bool suspend = action == WhenDone::Suspend;
    const QString key = suspend ? QStringLiteral("error_suspend") : QStringLiteral("error_poweroff");
    // Without the system's power service the refusal is the program's own.
    const std::optional<QString> refusal = power
        ? power->Perform(suspend ? PowerAction::Suspend : PowerAction::PowerOff)
        : std::optional<QString>(QStringLiteral("org.freedesktop.login1"));
    if (!refusal)
        return std::nullopt;
    return FillIn(Translate(lang, key), {*refusal});
}

QString SleepLockWho(const Localisation& lang)
{
    return Translate(lang, QStringLiteral("frmCaption"));
}

QString SleepLockWhy(const Localisation& lang, int sources, const QString& destination)
{
    return FillIn(Translate(lang, QStringLiteral("power_why")), {QString::number(sources), destination});
}
