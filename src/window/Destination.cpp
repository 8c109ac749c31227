#include "Destination.h"

#include "Form1.h"
#include "conversion/Paths.h"

#include <QLineEdit>

// STUB: replaced by the real destination handling.
void BrowseDestination(Form1&) {}
DropEffect DropDestination(Form1&, const QMimeData*) { return DropEffect::None; }
QString OutputFileName(const Form1& f)
{
    return f.txtDestination->text() + BaseNamePart(f.conv.Jobs[f.conv.CurrentIndex].File) + QStringLiteral(".mp4");
}
bool DestinationEvent(Form1&, QEvent*) { return false; }
