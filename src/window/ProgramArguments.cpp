#include "ProgramArguments.h"

#include "Form1.h"
#include "SourceList.h"

#include <QDir>
#include <QFileInfo>

void AddArgumentFiles(Form1& f, const QStringList& files, const QString& startFolder)
{
    QStringList found;
    QStringList missing;
    for (const QString& file : files) {
        const QString path = QDir::toNativeSeparators(QDir::cleanPath(QDir(startFolder).absoluteFilePath(file)));
        (QFileInfo::exists(path) ? found : missing) << path;
    }
    if (!found.isEmpty())
        AddSourcePaths(f, found);
    if (!missing.isEmpty())
        f.platform.messages->showOk(missing.join(QLatin1Char('\n')) + QStringLiteral(":\n")
                                    + T(f, QStringLiteral("error_filesnotfound")));
}
