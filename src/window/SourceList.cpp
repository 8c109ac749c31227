#include "SourceList.h"

#include "RowMarks.h"
#include "Twips.h"
#include "conversion/Paths.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <cmath>

namespace {
const QString RowDragType = QStringLiteral("application/x-reelpocket-source-row");
// The state a row's mark shows.
constexpr int MarkRole = Qt::UserRole + 1;
} // namespace

SourceList::SourceList(FileDialogs& dialogs, QWidget* parent)
    : QListWidget(parent)
    , dialogs_(dialogs)
{
    setObjectName(QStringLiteral("lstSource"));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    // A mark tells of the list as the batch saw it: any change to the rows ends it.
    QAbstractItemModel* rows = model();
    connect(rows, &QAbstractItemModel::rowsInserted, this, &SourceList::ClearMarks);
    connect(rows, &QAbstractItemModel::rowsRemoved, this, &SourceList::ClearMarks);
    connect(rows, &QAbstractItemModel::rowsMoved, this, &SourceList::ClearMarks);
    connect(rows, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex&, const QModelIndex&, const QList<int>& roles) {
                if (roles.isEmpty() || roles.contains(Qt::DisplayRole))
                    ClearMarks();
            });
}

void SourceList::SetMark(int row, const JobOutcome& outcome, const QString& text, const QString& details)
{
    QListWidgetItem* entry = item(row);
    if (!entry)
        return;
    const bool had = entry->data(MarkRole).isValid();
    const JobState state = outcome.state;
    const bool marked = state != JobState::Waiting && state != JobState::Probed;
    marks_ += (marked ? 1 : 0) - (had ? 1 : 0);
    entry->setIcon(RowMark(outcome));
    entry->setToolTip(marked ? details : QString());
    entry->setData(Qt::AccessibleDescriptionRole, marked ? text : QString());
    entry->setData(MarkRole, marked ? QVariant(static_cast<int>(state)) : QVariant());
}

JobState SourceList::MarkOf(int row) const
{
    const QListWidgetItem* entry = item(row);
    return entry && entry->data(MarkRole).isValid() ? static_cast<JobState>(entry->data(MarkRole).toInt())
                                                    : JobState::Waiting;
}

bool SourceList::HasMarks() const
{
    return marks_ > 0;
}

void SourceList::ClearMarks()
{
    if (marks_ == 0)
        return;
    marks_ = 0;
    for (int i = 0; i < count(); ++i) {
        QListWidgetItem* row = item(i);
        row->setIcon(QIcon());
        row->setToolTip(QString());
        row->setData(Qt::AccessibleDescriptionRole, QVariant());
        row->setData(MarkRole, QVariant());
    }
    emit marksCleared();
}

void SourceList::SelectOnly(int row)
{
    QListWidgetItem* entry = item(row);
    if (!entry)
        return;
    clearSelection();
    setCurrentItem(entry, QItemSelectionModel::ClearAndSelect);
    scrollToItem(entry);
}

QStringList SourceList::Sources() const
{
    QStringList sources;
    for (int i = 0; i < count(); ++i)
        sources << item(i)->text();
    return sources;
}

bool SourceList::IsSourceListed(const QString& path) const
{
    for (int i = 0; i < count(); ++i) {
        if (item(i)->text() == path)
            return true;
    }
    return false;
}

void SourceList::AddSourcesFromDialog()
{
    const QStringList picked = dialogs_.openSources(dialogFolder_);
    for (const QString& path : picked) {
        if (!IsSourceListed(path))
            addItem(path);
    }
    // The next dialog opens where the user last picked files.
    if (!picked.isEmpty())
        dialogFolder_ = FolderPart(picked.first());
    emit contentChanged();
}

DropEffect SourceList::AddDroppedSources(const QMimeData* data)
{
    const QStringList paths = DroppedPaths(data);
    if (paths.isEmpty())
        return DropEffect::None;
    AddSourcePaths(paths);
    return DropEffect::Copy;
}

void SourceList::AddSourcePaths(const QStringList& paths)
{
    for (const QString& path : paths) {
        if (!IsSourceListed(path))
            addItem(path);
    }
    emit contentChanged();
}

void SourceList::RemoveSelectedSources(int keyCode)
{
    if (keyCode != Qt::Key_Delete || count() == 0)
        return;
    const int n = count();
    for (int i = 0; i < n; ++i) {
        if (i < count() && item(i)->isSelected()) {
            delete takeItem(i);
            --i; // the item that moved up into row i is looked at next
            emit contentChanged();
        }
    }
}

qint16 SourceList::RowAtPosition(double yTwips) const
{
    if (count() == 0)
        return -1;
    const int rowHeight = sizeHintForRow(0) + 2 * spacing();
    const qint16 h = static_cast<qint16>(rowHeight > 0 ? rowHeight : 1);
    // Halves go to the even neighbour, as the pixel position was always rounded.
    const long p = std::lrint(yTwips / TwipsPerPixel);
    const QModelIndex top = indexAt(QPoint(0, 0));
    const int topIndex = top.isValid() ? top.row() : verticalScrollBar()->value();
    const qint16 r = static_cast<qint16>(topIndex + p / h);
    return r < count() - 1 ? r : static_cast<qint16>(count() - 1);
}

void SourceList::MoveListItem(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= count() || to >= count())
        return;
    const QString moving = item(from)->text();
    if (from > to) {
        for (int j = from; j > to; --j)
            item(j)->setText(item(j - 1)->text());
    } else {
        for (int j = from; j < to; ++j)
            item(j)->setText(item(j + 1)->text());
    }
    item(to)->setText(moving);
}

// Ties a row drag to this process and this list, so a drag from another window of the program is not
// taken for one of ours.
QByteArray SourceList::RowDragToken() const
{
    return QByteArray::number(QCoreApplication::applicationPid()) + ':'
        + QByteArray::number(reinterpret_cast<quintptr>(this));
}

bool SourceList::IsRowDrag(const QMimeData* data) const
{
    return data && data->hasFormat(RowDragType) && data->data(RowDragType) == RowDragToken();
}

QMimeData* SourceList::NewRowDragData() const
{
    auto* data = new QMimeData;
    data->setData(RowDragType, RowDragToken());
    return data;
}

void SourceList::SetTexts(const QString& hint, const QString& accessibleName)
{
    setAccessibleName(accessibleName);
    hint_ = hint;
    viewport()->update();
}

// Drag events arrive from the viewport, so their positions count from the top of the rows.
void SourceList::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void SourceList::dragMoveEvent(QDragMoveEvent* event)
{
    if (IsRowDrag(event->mimeData())) {
        setCurrentRow(RowAtPosition(event->position().y() * TwipsPerPixel));
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        AnswerDrop(event, FileDropEffect(event->mimeData()));
    }
}

void SourceList::dropEvent(QDropEvent* event)
{
    if (IsRowDrag(event->mimeData())) {
        MoveListItem(dragStartRow_, RowAtPosition(event->position().y() * TwipsPerPixel));
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        AnswerDrop(event, AddDroppedSources(event->mimeData()));
    }
}

void SourceList::keyReleaseEvent(QKeyEvent* event)
{
    // A held key repeats its release; only the real release counts.
    if (!event->isAutoRepeat())
        RemoveSelectedSources(event->key());
    QListWidget::keyReleaseEvent(event);
}

void SourceList::mouseDoubleClickEvent(QMouseEvent*)
{
    AddSourcesFromDialog();
}

void SourceList::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const bool onRow = event->button() == Qt::LeftButton && indexAt(pos).isValid();
    pressPos_ = onRow ? std::optional<QPoint>(pos) : std::nullopt;
    QListWidget::mousePressEvent(event);
}

void SourceList::mouseMoveEvent(QMouseEvent* event)
{
    if (!MaybeStartRowDrag(event))
        QListWidget::mouseMoveEvent(event);
}

bool SourceList::MaybeStartRowDrag(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton) || !pressPos_)
        return false;
    const QPoint pressPos = *pressPos_;
    if ((event->position().toPoint() - pressPos).manhattanLength() < QApplication::startDragDistance())
        return false;
    pressPos_.reset();
    const int row = indexAt(pressPos).row();
    if (row < 0)
        return false;
    dragStartRow_ = row;
    auto* drag = new QDrag(this);
    drag->setMimeData(NewRowDragData());
    drag->exec(Qt::MoveAction);
    return true;
}

void SourceList::paintEvent(QPaintEvent* event)
{
    QListWidget::paintEvent(event);
    if (count() > 0 || hint_.isEmpty())
        return;
    QPainter painter(viewport());
    painter.setPen(viewport()->palette().color(QPalette::PlaceholderText));
    const QString text = painter.fontMetrics().elidedText(hint_, Qt::ElideRight, viewport()->width() - 8);
    painter.drawText(viewport()->rect().adjusted(4, 0, -4, 0), Qt::AlignCenter, text);
}
