#include "DesktopDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace {
const QString AppTitle = QStringLiteral("Reelpocket");
}

DesktopMessageBoxes::DesktopMessageBoxes(std::function<QWidget*()> owner)
    : owner_(std::move(owner))
{
}

void DesktopMessageBoxes::showOk(const QString& text)
{
    QMessageBox::information(owner_(), AppTitle, text, QMessageBox::Ok);
}

bool DesktopMessageBoxes::askYesNo(const QString& text)
{
    return QMessageBox::question(owner_(), AppTitle, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

DesktopFileDialogs::DesktopFileDialogs(std::function<QWidget*()> owner)
    : owner_(std::move(owner))
{
}

QStringList DesktopFileDialogs::openSources(const QString& folder)
{
    const QStringList chosen = QFileDialog::getOpenFileNames(owner_(), QString(), folder, QString());
    QStringList native;
    for (const QString& path : chosen)
        native << QDir::toNativeSeparators(path);
    return native;
}

std::optional<QString> DesktopFileDialogs::chooseFolder(const QString& initial)
{
    const QString folder = QFileDialog::getExistingDirectory(owner_(), QString(), initial);
    if (folder.isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(folder);
}
