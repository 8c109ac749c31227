#pragma once

#include <QCheckBox>
#include <QColor>
#include <QRect>
#include <QWidget>

// Window geometry is kept in twips; 15 twips make one logical pixel (Qt scales for high DPI on top).
constexpr int TwipsPerPixel = 15;

inline int ToPixels(double twips)
{
    return qRound(twips / TwipsPerPixel);
}
inline int ToTwips(int pixels)
{
    return pixels * TwipsPerPixel;
}
inline void PlaceTwips(QWidget* w, int left, int top, int width, int height)
{
    w->setGeometry(ToPixels(left), ToPixels(top), ToPixels(width), ToPixels(height));
}
inline int TopTwips(const QWidget* w)
{
    return ToTwips(w->y());
}
inline int HeightTwips(const QWidget* w)
{
    return ToTwips(w->height());
}
inline void SetTopTwips(QWidget* w, double top)
{
    w->move(w->x(), ToPixels(top));
}
inline void SetHeightTwips(QWidget* w, double height)
{
    w->resize(w->width(), ToPixels(height));
}

// Check-box values: 0 clear, 1 ticked, 2 greyed.
inline int CheckValue(const QCheckBox* box)
{
    switch (box->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}
inline void SetCheckValue(QCheckBox* box, int value)
{
    box->setCheckState(value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
}

// What the window system has put around a top-level window (title bar and borders); none offscreen.
inline QMargins FrameMargins(const QWidget* w)
{
    const QRect outer = w->frameGeometry();
    const QRect inner = w->geometry();
    return QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                    outer.bottom() - inner.bottom());
}

inline void SetTextColour(QWidget* w, const QColor& colour)
{
    QPalette palette = w->palette();
    palette.setColor(QPalette::WindowText, colour);
    w->setPalette(palette);
}
inline QColor TextColour(const QWidget* w)
{
    return w->palette().color(QPalette::WindowText);
}
