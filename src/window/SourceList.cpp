#include "SourceList.h"

#include "Form1.h"

#include <QListWidget>

// STUB: replaced by the real source list.
void AddSourcesFromDialog(Form1&) {}
QString TakeToken(QString& text, QChar) { return text; }
bool IsSourceListed(const Form1&, const QString&) { return false; }
DropEffect FileDropEffect(const QMimeData*) { return DropEffect::None; }
DropEffect AddDroppedSources(Form1&, const QMimeData*) { return DropEffect::None; }
void RemoveSelectedSources(Form1&, int) {}
qint16 RowAtPosition(const QListWidget*, double) { return 0; }
void MoveListItem(QListWidget*, int, int) {}
bool SourceListEvent(Form1&, QObject*, QEvent*) { return false; }
