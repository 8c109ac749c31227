#include "DesktopSystem.h"

#include "localisation/Language.h"

#include <QCoreApplication>
#include <QDir>
#include <QTimer>

QString DesktopSystem::programFolder()
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

void DesktopSystem::changeWorkingDirectory(const QString& folder)
{
    QDir::setCurrent(folder);
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

void DesktopSystem::pause(int milliseconds, std::function<void()> then)
{
    QTimer::singleShot(milliseconds, std::move(then));
}
