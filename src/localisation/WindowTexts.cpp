#include "WindowTexts.h"

#include "window/Form1.h"

#include <QGroupBox>
#include <QPushButton>
#include <QTimer>

// STUB: replaced by the real window texts.
void ApplyWindowTexts(Form1& f)
{
    f.setWindowTitle(T(f, QStringLiteral("frmCaption")));
    f.cmdConvert->setEnabled(true);
    f.cmdConvert->setVisible(true);
    f.cmdConvert->setText(T(f, QStringLiteral("cmdConvert")));
    f.lblStatus->setTitle(QString());
    f.conv.ConversionPhase.clear();
    f.conv.ElapsedSeconds = 0;
    f.Timer->stop();
}
