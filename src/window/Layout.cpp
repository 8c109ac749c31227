#include "Layout.h"

#include "Form1.h"
#include "TabControl.h"
#include "Twips.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>

namespace {

void GrowBy(QWidget* w, float step)
{
    SetHeightTwips(w, static_cast<float>(HeightTwips(w)) + step);
}

void MoveDownBy(QWidget* w, float step)
{
    SetTopTwips(w, static_cast<float>(TopTwips(w)) + step);
}

// The fourteen changes between the two layouts; a negative step undoes a positive one.
void ShiftLayout(Form1& f, float step)
{
    f.SetWindowHeightTwips(static_cast<float>(f.WindowHeightTwips()) + step);
    GrowBy(f.tabMain, step);
    GrowBy(f.lstSource, step);
    MoveDownBy(f.txtDestination, step);
    MoveDownBy(f.cmdDestination, step);
    MoveDownBy(f.chkSubtitles, step);
    MoveDownBy(f.lblSubtitlesTip, step);
    MoveDownBy(f.cmdConvert, step);
    MoveDownBy(f.cmdCancel, step);
    MoveDownBy(f.lblStatus, step);
    MoveDownBy(f.pBar, step);
    // The About tab has room to spare, so its controls only move half as far.
    MoveDownBy(f.cmdDonate, step / 2);
    MoveDownBy(f.txtAbout, step / 2);
    MoveDownBy(f.lblContact, step / 2);
}

} // namespace

void UpdateLayout(Form1& f)
{
    if (f.lstSource->count() < 2)
        ApplySingleLayout(f);
    else
        ApplyListLayout(f);
}

void ApplyListLayout(Form1& f)
{
    if (f.WindowHeightTwips() != SingleLayoutHeight)
        return;
    ShiftLayout(f, static_cast<float>(f.opts.LayoutStep));
}

void ApplySingleLayout(Form1& f)
{
    if (f.WindowHeightTwips() <= SingleLayoutHeight)
        return;
    ShiftLayout(f, -static_cast<float>(f.opts.LayoutStep));
}
