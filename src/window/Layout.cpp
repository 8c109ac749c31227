// The main window's two layouts, each one table.
#include "Layout.h"

#include "MainWindow.h"
#include "SourceList.h"
#include "Twips.h"

namespace {

// The single-file layout: every control of the main window inside its parent, in twips.
const Placement SingleLayout[] = {
    {"tabMain", 0, 0, 10935, 4335},
    {"frameCheckVersion", 0, 0, 10935, 4335},
    // the version-check panel
    {"lblCheckVersion", 5400, 1920, 105, 240},
    {"cmdGetNewVersion", 3480, 2400, 3975, 495},
    // Convert tab
    {"lstSource", 240, 720, 6375, 300},
    {"cmdSourceFile", 6720, 720, 3975, 375},
    {"destinationField", 240, 1200, 10455, 375},
    {"lblSubtitlesTip", 240, 1680, 255, 255},
    {"chkSubtitles", 480, 1680, 2775, 255},
    {"lblWhenDone", 6000, 1680, 1455, 255},
    {"comboWhenDone", 7560, 1635, 3135, 345},
    // Cancel and Pause share the place of Convert, which covers them until a batch runs
    {"cmdCancel", 240, 2040, 7695, 615},
    {"cmdPause", 8040, 2040, 2655, 615},
    {"cmdConvert", 240, 2040, 10455, 615},
    {"frameWhenDone", 240, 2040, 10455, 615},
    // the countdown over Convert
    {"lblCountdown", 180, 120, 7500, 375},
    {"cmdStopCountdown", 7800, 120, 2535, 375},
    {"lblStatus", 240, 2760, 10455, 1335},
    // the destination field
    {"txtDestination", 0, 0, 6375, 360},
    {"cmdDestination", 6480, 0, 3975, 375},
    // the status frame
    {"lblPercent", 9480, 480, 735, 255},
    {"lblTimeElapsed", 360, 960, 2175, 255},
    {"lblTimeE", 2640, 960, 975, 255},
    {"lblTimeRemaining", 6120, 960, 2055, 255},
    {"lblTimeR", 8280, 960, 975, 255},
    {"pBar", 360, 480, 8895, 255},
    // Options tab
    {"lblLanguage", 360, 840, 1095, 255},
    {"comboLanguage", 1560, 720, 1815, 360},
    {"chkOverwrite", 360, 1380, 6975, 315},
    {"chkShowPutiPhone", 360, 1740, 7695, 375},
    {"chkFullHD", 360, 2160, 7695, 375},
    {"chk4K", 360, 2580, 7695, 375},
    // About tab
    {"txtAbout", 120, 600, 10695, 3375},
    {"lblContact", 3240, 2400, 4455, 255},
    {"cmdDonate", 4200, 3480, 2415, 495},
};

enum class Edge { Height, Top };

// What one control does in the list layout: its height or top grows by a share of the step.
struct Shift
{
    const char* control;
    Edge edge;
    float share;
};

// The list layout, as the changes from the single-file one in the order they are made.
const Shift ListLayout[] = {
    // the window, the tabs and the list grow
    {"Form1", Edge::Height, 1},
    {"tabMain", Edge::Height, 1},
    {"lstSource", Edge::Height, 1},
    // what lies below the list moves down; the status frame takes its bar and labels along
    {"destinationField", Edge::Top, 1},
    {"chkSubtitles", Edge::Top, 1},
    {"lblSubtitlesTip", Edge::Top, 1},
    {"cmdConvert", Edge::Top, 1},
    {"cmdCancel", Edge::Top, 1},
    {"cmdPause", Edge::Top, 1},
    {"frameWhenDone", Edge::Top, 1},
    {"lblWhenDone", Edge::Top, 1},
    {"comboWhenDone", Edge::Top, 1},
    {"lblStatus", Edge::Top, 1},
    // the About tab has room to spare: its controls move half as far
    {"cmdDonate", Edge::Top, 0.5f},
    {"txtAbout", Edge::Top, 0.5f},
    {"lblContact", Edge::Top, 0.5f},
};

} // namespace

void PlaceControl(QWidget* root, const Placement& p)
{
    const QLatin1String name(p.control);
    QWidget* control = root->objectName() == name ? root : root->findChild<QWidget*>(name);
    Q_ASSERT_X(control, "PlaceControl", p.control);
    if (control)
        PlaceTwips(control, p.left, p.top, p.width, p.height);
}

void MainWindow::PlaceControls()
{
    setFixedSize(ToPixels(WindowWidth), ToPixels(SingleLayoutHeight));
    ::PlaceControls(this, SingleLayout);
}

void MainWindow::UpdateLayout()
{
    if (sourceList_->count() < 2)
        ApplySingleLayout();
    else
        ApplyListLayout();
}

void MainWindow::ApplyListLayout()
{
    if (WindowHeightTwips() != SingleLayoutHeight)
        return;
    ShiftLayout(LayoutStep);
}

void MainWindow::ApplySingleLayout()
{
    if (WindowHeightTwips() <= SingleLayoutHeight)
        return;
    ShiftLayout(-LayoutStep);
}

// Each new value is the current one plus the step, in single precision; a negative step undoes a
// positive one.
void MainWindow::ShiftLayout(float step)
{
    for (const Shift& shift : ListLayout) {
        const float by = step * shift.share;
        const QLatin1String name(shift.control);
        if (name == objectName()) {
            SetWindowHeightTwips(static_cast<float>(WindowHeightTwips()) + by);
            continue;
        }
        QWidget* control = findChild<QWidget*>(name);
        Q_ASSERT_X(control, "ShiftLayout", shift.control);
        if (!control)
            continue;
        if (shift.edge == Edge::Height)
            SetHeightTwips(control, static_cast<float>(HeightTwips(control)) + by);
        else
            SetTopTwips(control, static_cast<float>(TopTwips(control)) + by);
    }
}
