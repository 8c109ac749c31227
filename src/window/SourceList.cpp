#include "SourceList.h"

#include "Form1.h"
#include "Layout.h"
#include "Twips.h"
#include "conversion/Paths.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QDrag>
#include <QDropEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QUrl>
#include <cmath>

namespace {

const QString RowDragType = QStringLiteral("application/x-reelpocket-source-row");
const char* PressPosProperty = "reelpocketPressPos";

void AppendSource(Form1& f, const QString& path)
{
    f.lstSource->addItem(path);
}

// Ties a row drag to this process and this list, so a drag from another window of the program
// is not taken for one of ours.
QByteArray RowDragToken(const Form1& f)
{
    return QByteArray::number(QCoreApplication::applicationPid()) + ':'
        + QByteArray::number(reinterpret_cast<quintptr>(f.lstSource));
}

bool IsRowDrag(const Form1& f, const QMimeData* data)
{
    return data && data->hasFormat(RowDragType) && data->data(RowDragType) == RowDragToken(f);
}

double PointerTwips(const Form1& f, QObject* watched, const QPointF& pos)
{
    // Rows are counted from the top of the viewport, which is where drag events normally arrive.
    QPointF viewportPos = pos;
    if (watched == f.lstSource)
        viewportPos = f.lstSource->viewport()->mapFrom(f.lstSource, pos.toPoint());
    return viewportPos.y() * TwipsPerPixel;
}

bool DragOver(Form1& f, QObject* watched, QDragMoveEvent* e)
{
    if (IsRowDrag(f, e->mimeData())) {
        f.lstSource->setCurrentRow(RowAtPosition(f.lstSource, PointerTwips(f, watched, e->position())));
        e->setDropAction(Qt::MoveAction);
        e->accept();
    } else if (FileDropEffect(e->mimeData()) == DropEffect::Copy) {
        e->setDropAction(Qt::CopyAction);
        e->accept();
    } else {
        e->ignore();
    }
    return true;
}

bool Drop(Form1& f, QObject* watched, QDropEvent* e)
{
    if (IsRowDrag(f, e->mimeData())) {
        MoveListItem(f.lstSource, f.opts.DragStartRow,
                     RowAtPosition(f.lstSource, PointerTwips(f, watched, e->position())));
        e->setDropAction(Qt::MoveAction);
        e->accept();
    } else if (AddDroppedSources(f, e->mimeData()) == DropEffect::Copy) {
        e->setDropAction(Qt::CopyAction);
        e->accept();
    } else {
        e->ignore();
    }
    return true;
}

void RememberPress(Form1& f, QMouseEvent* e)
{
    const bool onRow = e->button() == Qt::LeftButton && f.lstSource->indexAt(e->position().toPoint()).isValid();
    f.lstSource->setProperty(PressPosProperty, onRow ? QVariant(e->position().toPoint()) : QVariant());
}

// A row drag starts once the pointer has moved far enough with the left button held on a row.
bool MaybeStartRowDrag(Form1& f, QMouseEvent* e)
{
    const QVariant pressed = f.lstSource->property(PressPosProperty);
    if (!(e->buttons() & Qt::LeftButton) || !pressed.isValid())
        return false;
    const QPoint pressPos = pressed.toPoint();
    if ((e->position().toPoint() - pressPos).manhattanLength() < QApplication::startDragDistance())
        return false;
    f.lstSource->setProperty(PressPosProperty, QVariant());
    const int row = f.lstSource->indexAt(pressPos).row();
    if (row < 0)
        return false;
    f.opts.DragStartRow = row;
    auto* drag = new QDrag(f.lstSource);
    drag->setMimeData(NewRowDragData(f));
    drag->exec(Qt::MoveAction);
    return true;
}

} // namespace

void AddSourcesFromDialog(Form1& f)
{
    QString result = f.platform.dialogs->openSources(f.opts.LastSourceFolder);
    // Every name, the last included, now ends with a NUL, and an empty name follows it.
    result += QChar(0);
    result += QChar(0);
    QString folder;
    qint16 n = 1;
    for (;;) {
        const QString token = TakeToken(result, QChar(0));
        if (token.isEmpty())
            break;
        if (n < 2) {
            folder = token;
        } else {
            const QString path = folder + Separator() + token;
            if (!IsSourceListed(f, path))
                AppendSource(f, path);
        }
        ++n;
    }
    // A single name read means the dialog returned one full path, kept in `folder`.
    if (n == 2 && !IsSourceListed(f, folder))
        AppendSource(f, folder);
    // The next dialog opens where the user last picked files.
    if (n == 2)
        f.opts.LastSourceFolder = FolderPart(folder);
    else if (n > 2)
        f.opts.LastSourceFolder = folder;
    UpdateLayout(f);
}

QString TakeToken(QString& text, QChar separator)
{
    const int i = text.indexOf(separator);
    if (i < 0) {
        QString all = text;
        text.clear();
        return all;
    }
    const QString token = text.left(i);
    text = text.mid(i + 1);
    return token;
}

bool IsSourceListed(const Form1& f, const QString& path)
{
    for (int i = 0; i < f.lstSource->count(); ++i) {
        if (f.lstSource->item(i)->text() == path)
            return true;
    }
    return false;
}

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

DropEffect AddDroppedSources(Form1& f, const QMimeData* data)
{
    const QStringList paths = DroppedPaths(data);
    if (paths.isEmpty())
        return DropEffect::None;
    AddSourcePaths(f, paths);
    return DropEffect::Copy;
}

void AddSourcePaths(Form1& f, const QStringList& paths)
{
    for (const QString& path : paths) {
        if (!IsSourceListed(f, path))
            AppendSource(f, path);
    }
    UpdateLayout(f);
}

void RemoveSelectedSources(Form1& f, int keyCode)
{
    if (keyCode != Qt::Key_Delete || f.lstSource->count() == 0)
        return;
    const int n = f.lstSource->count();
    for (int i = 0; i < n; ++i) {
        if (i < f.lstSource->count() && f.lstSource->item(i)->isSelected()) {
            delete f.lstSource->takeItem(i);
            --i; // the item that moved up into row i is looked at next
            UpdateLayout(f);
        }
    }
}

qint16 RowAtPosition(const QListWidget* list, double yTwips)
{
    const int count = list->count();
    if (count == 0)
        return -1;
    const int rowHeight = list->sizeHintForRow(0) + 2 * list->spacing();
    const qint16 h = static_cast<qint16>(rowHeight > 0 ? rowHeight : 1);
    // Halves go to the even neighbour, as the pixel position was always rounded.
    const long p = std::lrint(yTwips / TwipsPerPixel);
    const QModelIndex top = list->indexAt(QPoint(0, 0));
    const int topIndex = top.isValid() ? top.row() : list->verticalScrollBar()->value();
    const qint16 r = static_cast<qint16>(topIndex + p / h);
    return r < count - 1 ? r : static_cast<qint16>(count - 1);
}

void MoveListItem(QListWidget* list, int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= list->count() || to >= list->count())
        return;
    const QString moving = list->item(from)->text();
    if (from > to) {
        for (int j = from; j > to; --j)
            list->item(j)->setText(list->item(j - 1)->text());
    } else {
        for (int j = from; j < to; ++j)
            list->item(j)->setText(list->item(j + 1)->text());
    }
    list->item(to)->setText(moving);
}

QMimeData* NewRowDragData(const Form1& f)
{
    auto* data = new QMimeData;
    data->setData(RowDragType, RowDragToken(f));
    return data;
}

void PaintSourceHint(Form1& f)
{
    if (f.lstSource->count() > 0 || f.sourceHint.isEmpty())
        return;
    QWidget* viewport = f.lstSource->viewport();
    QPainter painter(viewport);
    painter.setPen(viewport->palette().color(QPalette::PlaceholderText));
    const QString text = painter.fontMetrics().elidedText(f.sourceHint, Qt::ElideRight, viewport->width() - 8);
    painter.drawText(viewport->rect().adjusted(4, 0, -4, 0), Qt::AlignCenter, text);
}

bool SourceListEvent(Form1& f, QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
        return DragOver(f, watched, static_cast<QDragMoveEvent*>(event));
    case QEvent::Drop:
        return Drop(f, watched, static_cast<QDropEvent*>(event));
    case QEvent::KeyRelease: {
        // A held key repeats its release here; only the real release counts.
        auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat())
            RemoveSelectedSources(f, key->key());
        return false;
    }
    case QEvent::MouseButtonDblClick:
        AddSourcesFromDialog(f);
        return true;
    case QEvent::MouseButtonPress:
        if (watched == f.lstSource->viewport())
            RememberPress(f, static_cast<QMouseEvent*>(event));
        return false;
    case QEvent::MouseMove:
        return watched == f.lstSource->viewport() && MaybeStartRowDrag(f, static_cast<QMouseEvent*>(event));
    default:
        return false;
    }
}
