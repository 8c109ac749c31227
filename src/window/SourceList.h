#pragma once

#include <QString>

class Form1;
class QEvent;
class QListWidget;
class QMimeData;
class QObject;

enum class DropEffect { None = 0, Copy = 1 };

void AddSourcesFromDialog(Form1& f);
QString TakeToken(QString& text, QChar separator);
bool IsSourceListed(const Form1& f, const QString& path);
DropEffect FileDropEffect(const QMimeData* data);
DropEffect AddDroppedSources(Form1& f, const QMimeData* data);
void RemoveSelectedSources(Form1& f, int keyCode);
qint16 RowAtPosition(const QListWidget* list, double yTwips);
void MoveListItem(QListWidget* list, int from, int to);
// Drops, drags, keys and double clicks on the list; true when the event was handled.
bool SourceListEvent(Form1& f, QObject* watched, QEvent* event);
