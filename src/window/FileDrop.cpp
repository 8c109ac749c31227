#include "FileDrop.h"

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

QStringList DroppedPaths(const QMimeData* data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            paths << QDir::toNativeSeparators(url.toLocalFile());
    }
    return paths;
}

DropEffect FileDropEffect(const QMimeData* data)
{
    return DroppedPaths(data).isEmpty() ? DropEffect::None : DropEffect::Copy;
}

void AnswerDrop(QDropEvent* event, DropEffect effect)
{
    if (effect == DropEffect::Copy) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}
