#include "Destination.h"

#include "Form1.h"
#include "conversion/Paths.h"

#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>

void BrowseDestination(Form1& f)
{
    const std::optional<QString> chosen = f.platform.dialogs->chooseFolder(f.txtDestination->text());
    if (!chosen)
        return;
    // The destination is a plain prefix of the output names, so it keeps its trailing separator.
    QString folder = *chosen;
    if (!folder.endsWith(Separator()))
        folder += Separator();
    f.txtDestination->setText(folder);
}

DropEffect DropDestination(Form1& f, const QMimeData* data)
{
    const QStringList paths = DroppedPaths(data);
    if (paths.isEmpty())
        return DropEffect::None;
    const QString path = paths.first();
    // A dropped folder is the destination itself; a dropped file gives its folder.
    if (QFileInfo(path).isDir())
        f.txtDestination->setText(path.endsWith(Separator()) ? path : path + Separator());
    else
        f.txtDestination->setText(FolderPart(path));
    return DropEffect::Copy;
}

void CreateDefaultDestination(Form1& f)
{
    const QString destination = f.txtDestination->text();
    // Only our own default is ever created; any other missing folder is the user's mistake to hear about.
    if (destination == f.platform.system->defaultDestination())
        QDir().mkpath(destination);
}

namespace {
void AnswerDrag(QDropEvent* event, DropEffect effect)
{
    if (effect == DropEffect::Copy) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}
} // namespace

bool DestinationEvent(Form1& f, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        AnswerDrag(drag, FileDropEffect(drag->mimeData()));
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        AnswerDrag(drop, DropDestination(f, drop->mimeData()));
        return true;
    }
    case QEvent::MouseButtonDblClick:
        BrowseDestination(f);
        return true;
    default:
        return false;
    }
}
