#include "WindowLooks.h"

#include "localisation/WindowTexts.h"
#include "window/Form1.h"
#include "window/Twips.h"

#include <QGroupBox>
#include <QPushButton>
#include <QTimer>

// STUB: replaced by the real window looks.
void ShowConverting(Form1& f)
{
    f.conv.ElapsedSeconds = 0;
    f.Timer->start();
    f.cmdConvert->setEnabled(false);
    f.cmdConvert->setVisible(false);
    f.lblStatus->setTitle(T(f, QStringLiteral("cmdConvert_ing")));
}
void ShowFinished(Form1& f, const QString&)
{
    ApplyWindowTexts(f);
    f.lblStatus->setTitle(T(f, QStringLiteral("cmdConvert_ed")));
}
void ShowCancelled(Form1& f)
{
    ApplyWindowTexts(f);
    f.lblStatus->setTitle(T(f, QStringLiteral("cmdCancel_ed")));
}
