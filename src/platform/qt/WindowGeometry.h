#pragma once

#include <QRect>
#include <QWidget>

#include <vector>

// The outer geometry of top-level windows (frame and caption included) and the
// screens' areas. A window's frame is known only once the window system has framed
// it, so an outer size or minimum set earlier is corrected when the frame becomes
// known.

// The window's outer rectangle; for a minimised window its normal one.
QRect OuterGeometry(const QWidget& window);
// Places the window's outer top-left corner.
void MoveOuter(QWidget& window, QPoint topLeft);
// Sizes the window so its outer size is Size, within its size limits.
void ResizeOuter(QWidget& window, QSize size);
// The smallest outer size the window can take.
void SetOuterMinimumSize(QWidget& window, QSize size);
// Whether the user can resize the window (its border is sizeable).
bool IsSizeable(const QWidget& window);

enum class TShownState { Normal, Minimised, Maximised };
TShownState ShownState(const QWidget& window);
void ShowNormalState(QWidget& window);
// Minimises or maximises the window once the event loop runs and the window system
// shows the window: at once for a window on the screen, else once it is mapped.
void QueueShownState(QWidget& window, TShownState state);

struct TScreenGeometry {
    QRect monitor;
    QRect workArea; // the screen without its panels and task bars
};
std::vector<TScreenGeometry> ScreenGeometries();
