#pragma once

#include <cstddef>

class QWidget;

// The main window's geometry, in twips. The single-file layout is the window as designed; from two
// sources on, the list layout makes the list taller and moves the controls below it down.
constexpr int WindowWidth = 10920; // inside width
constexpr int SingleLayoutHeight = 4695; // outer height, title bar included
constexpr int LayoutStep = 1200; // what the list layout adds to the height

// Where a control lies inside its parent, the control found by its object name.
struct Placement
{
    const char* control;
    int left, top, width, height;
};

// Places each control of the table that `root` holds or is.
template <std::size_t N> void PlaceControls(QWidget* root, const Placement (&table)[N]);
void PlaceControl(QWidget* root, const Placement& placement);

template <std::size_t N> void PlaceControls(QWidget* root, const Placement (&table)[N])
{
    for (const Placement& placement : table)
        PlaceControl(root, placement);
}
