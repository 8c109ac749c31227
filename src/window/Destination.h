#pragma once

#include <QString>

#include "SourceList.h"

class Form1;
class QEvent;
class QMimeData;

void BrowseDestination(Form1& f);
DropEffect DropDestination(Form1& f, const QMimeData* data);
// The output path of the row at CurrentIndex.
QString OutputFileName(const Form1& f);
// Drops and double clicks on the destination box; true when the event was handled.
bool DestinationEvent(Form1& f, QEvent* event);
