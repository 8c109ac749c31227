#pragma once

#include <QStringList>

class QDropEvent;
class QMimeData;

enum class DropEffect { None = 0, Copy = 1 };

// The local files a drop carries, as native paths in drop order.
QStringList DroppedPaths(const QMimeData* data);
// Copy when the data carries files, else none.
DropEffect FileDropEffect(const QMimeData* data);
// Accepts a drag or drop as a copy, or refuses it.
void AnswerDrop(QDropEvent* event, DropEffect effect);
