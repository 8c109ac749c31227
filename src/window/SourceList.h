#pragma once

#include <QString>
#include <QStringList>

class Form1;
class QEvent;
class QListWidget;
class QMimeData;
class QObject;

enum class DropEffect { None = 0, Copy = 1 };

void AddSourcesFromDialog(Form1& f);
QString TakeToken(QString& text, QChar separator);
bool IsSourceListed(const Form1& f, const QString& path);
// The local files a drop carries, as native paths in drop order.
QStringList DroppedPaths(const QMimeData* data);
DropEffect FileDropEffect(const QMimeData* data);
DropEffect AddDroppedSources(Form1& f, const QMimeData* data);
// Appends the paths not listed yet, in order, and fits the layout to the list.
void AddSourcePaths(Form1& f, const QStringList& paths);
void RemoveSelectedSources(Form1& f, int keyCode);
qint16 RowAtPosition(const QListWidget* list, double yTwips);
void MoveListItem(QListWidget* list, int from, int to);
// What a row drag inside the list carries; only this window's list accepts it.
QMimeData* NewRowDragData(const Form1& f);
// The grey hint of an empty list, painted under the (absent) items.
void PaintSourceHint(Form1& f);
// Drops, drags, keys and double clicks on the list; true when the event was handled.
bool SourceListEvent(Form1& f, QObject* watched, QEvent* event);
