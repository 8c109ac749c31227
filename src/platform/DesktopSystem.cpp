#include "DesktopSystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QThread>

QString DesktopSystem::programFolder()
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

void DesktopSystem::changeWorkingDirectory(const QString& folder)
{
    QDir::setCurrent(folder);
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

QString DesktopSystem::systemLanguageName()
{
    return LanguageDisplayName(QLocale::system());
}

QString DesktopSystem::systemFolder()
{
    return {};
}

QChar DesktopSystem::decimalSeparator()
{
    const QString point = QLocale::system().decimalPoint();
    return point.isEmpty() ? QLatin1Char('.') : point.front();
}

bool DesktopSystem::componentsNeedRegistration()
{
    // The runner, the timer and the window's controls are built into the program here.
    return false;
}

std::optional<int> DesktopSystem::registerLibrary(const QString&)
{
    return 0;
}

void DesktopSystem::pause(int milliseconds)
{
    QThread::msleep(static_cast<unsigned long>(milliseconds));
}
