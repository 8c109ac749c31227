#include "DesktopSystem.h"

#include "localisation/Language.h"
#include "platform/NativeFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTemporaryFile>
#include <QTimer>

DesktopSystem::DesktopSystem(QString programFolder)
    : programFolder_(std::move(programFolder))
{
}

QString DesktopSystem::programFolder()
{
    if (programFolder_.isEmpty())
        programFolder_ = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    return programFolder_;
}

bool FolderIsWritable(const QString& folder)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".reelpocket-write-test-XXXXXX")));
    return probe.open();
}

bool DesktopSystem::programFolderWritable()
{
    // Installed under /usr the program folder is not the user's; a copy on a stick is.
    if (!writable_)
        writable_ = FolderIsWritable(programFolder());
    return *writable_;
}

QString DesktopSystem::workingFolder()
{
    // Never the program folder, which every batch of every user shares: a folder of this user's own, in
    // the session's runtime folder (memory, emptied at log-out) where there is one, else in the cache.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime)) {
        const QString folder = QDir(runtime).filePath(QStringLiteral("reelpocket"));
        if (MakePrivateFolder(folder))
            return QDir::toNativeSeparators(folder);
    }
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    MakePrivateFolder(cache);
    return QDir::toNativeSeparators(cache);
}

QString DesktopSystem::defaultDestination()
{
    QString base = programFolder();
    if (!programFolderWritable()) {
        base = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
        if (base.isEmpty())
            base = QDir::homePath();
    }
    return QDir::toNativeSeparators(QDir(base).filePath(QStringLiteral("iPhoneMovies"))) + QDir::separator();
}

std::optional<qint64> DesktopSystem::freeBytes(const QString& folder)
{
    const QStorageInfo storage(folder);
    if (!storage.isValid() || !storage.isReady())
        return std::nullopt;
    return storage.bytesAvailable();
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
