#pragma once
// Where the program's windows go. One rule for every window:
// - a top-level window or dialog lies wholly inside the available area of its screen, its
//   title bar included; at its first show it is centred on its owner's window (the main
//   window) unless the program gave it a place of its own, and it keeps clear of the main
//   window's menu bar when there is room below it;
// - a modal window is never under a stay-on-top window: it stays on top itself while one is
//   shown;
// - a child window of an MDI area lies wholly inside the area's client part (its viewport),
//   no larger than it, and never narrower than its caption bar needs for the whole caption
//   and its buttons (as far as the area is wide).
// InstallWindowPlacement applies the rule to every window as it is shown (and to child
// windows whenever they change size); the functions below apply it where the program moves
// or sizes a window itself.
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

class QApplication;
class QMdiSubWindow;
class QWidget;

namespace vandrel {

// `frame` moved into `area`, and first shrunk to it when larger. A frame already inside
// stays where it is.
QRect KeptInside(const QRect& frame, const QRect& area);
// A frame of `size` centred on `on`, kept inside `area`, and with its top at `clearTop` or
// below when the area leaves it room there.
QRect CentredOn(QSize size, const QRect& on, const QRect& area, int clearTop);

// A frame of `size` beside `other` inside `area`: at its right, else at its left, else below
// it, else above it, at the first of these sides where the whole frame fits without covering
// `other`; none where no side has room.
std::optional<QRect> Beside(QSize size, const QRect& other, const QRect& area);

// Applies the rule to every window from now on.
void InstallWindowPlacement(QApplication& app);

// The area a top-level window may occupy: the available part of the screen it is on (of its
// owner's screen while it has none of its own).
QRect ScreenArea(const QWidget* window);
// The frame (title bar and borders) of a top-level window: its own once the window manager
// has drawn it, before that the one the main window or another shown window has.
QMargins FrameMargins(const QWidget* window);
// Places a top-level window as at its first show: centred on its owner unless it has a
// place of its own, inside its screen, clear of the main menu.
void PlaceWindow(QWidget* window);
// Centres a top-level window's frame on `on` (a frame on the screen), inside its screen.
void PlaceWindowCentredOn(QWidget* window, const QRect& on);
// Puts a top-level window's frame at `frameTopLeft`, or as near as its screen allows.
void PlaceWindowAt(QWidget* window, QPoint frameTopLeft);
// Puts a top-level window's frame beside `other` (a frame on the screen), as Beside finds a
// place; returns false, leaving the window where it is, when no side has room.
bool PlaceWindowBeside(QWidget* window, const QRect& other);
// The frame of a top-level window on the screen (its size as it will be once framed, while it
// is not shown).
QRect WindowFrame(const QWidget* window);
// Shows a main window maximised, with a normal place to return to: it is shown at its own
// size and place first and maximised once the window system has it on the screen, so that
// every window manager knows the size that restoring it gives back.
void ShowMaximised(QWidget* window);
// Keeps a shown top-level window inside its screen after the program changed its size.
void KeepOnScreen(QWidget* window);

// The width a sub-window's caption bar needs to show its whole caption and its buttons.
int CaptionBarWidth(const QMdiSubWindow* sub);
// Sizes and moves a child window so that it lies inside its MDI area's client part.
void PlaceSubWindow(QMdiSubWindow* sub);

}  // namespace vandrel
