#pragma once

#include <QString>

#include "SourceList.h"

class Form1;
class QEvent;
class QMimeData;

// Lets the user pick the destination folder; cancelling changes nothing.
void BrowseDestination(Form1& f);
// The destination becomes the first dropped folder, or the folder of the first dropped file.
DropEffect DropDestination(Form1& f, const QMimeData* data);
// The default destination (the user's Videos folder and "iPhoneMovies") is made when first needed.
void CreateDefaultDestination(Form1& f);
// Drags, drops and double clicks on the destination box; true when the event was handled.
bool DestinationEvent(Form1& f, QEvent* event);
