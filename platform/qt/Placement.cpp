#include "platform/qt/Placement.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QVariant>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace vandrel {

namespace {

// Set on a window once it has been placed at its first show.
const char* const kPlaced = "vandrel_placed";
// Set on a child window while it is being placed (its own resize comes back to the rule).
const char* const kPlacing = "vandrel_placing";
// How many more of the window manager's moves of a newly shown window the rule answers: the
// first move may still carry a frame the manager has not finished, and the rule's own answer
// comes back as a move too, which finds the window where it was put. A few, so that a
// manager that insists on its own place cannot make the two trade moves for ever.
const char* const kSettling = "vandrel_settling";
constexpr int kSettlingMoves = 4;
// Where the rule put a window's frame last.
const char* const kIntended = "vandrel_intended";
// How it found that place, to find it again once the real frame is known: centred on a frame
// (kCentredOn) below a line (kClearTop), or beside a frame (kBeside).
const char* const kCentredOn = "vandrel_centred_on";
const char* const kClearTop = "vandrel_clear_top";
const char* const kBeside = "vandrel_beside";
// Set on a main window to be maximised once it is on the screen at its normal place.
const char* const kMaximiseWhenExposed = "vandrel_maximise_when_exposed";

// Windows the rule places: ordinary windows, dialogs and tool windows (not menus, tool tips
// or the pop-up lists of combo boxes, which their owners place).
bool Placed(const QWidget* w) {
  if (!w->isWindow() || w->testAttribute(Qt::WA_DontShowOnScreen)) return false;
  const Qt::WindowType type = w->windowType();
  return type == Qt::Window || type == Qt::Dialog || type == Qt::Tool;
}

bool Free(const QWidget* w) {
  const Qt::WindowStates s = w->windowState();
  return !(s & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized));
}

// The window a top-level window belongs to: its parent's window, else the active window,
// else the first main window shown.
QWidget* OwnerOf(const QWidget* w) {
  if (QWidget* p = w->parentWidget()) return p->window();
  QWidget* active = QApplication::activeWindow();
  if (active && active != w && active->isVisible()) return active;
  for (QWidget* top : QApplication::topLevelWidgets())
    if (top != w && top->isVisible() && qobject_cast<QMainWindow*>(top)) return top;
  return nullptr;
}

// The main window whose menu bar a window keeps clear of.
QMainWindow* MainWindowOf(const QWidget* w) {
  for (QWidget* o = OwnerOf(w); o; o = o->parentWidget() ? o->parentWidget()->window() : nullptr)
    if (auto* main = qobject_cast<QMainWindow*>(o)) return main;
  for (QWidget* top : QApplication::topLevelWidgets())
    if (top != w && top->isVisible())
      if (auto* main = qobject_cast<QMainWindow*>(top)) return main;
  return nullptr;
}

// The lowest line of the main window's menu bar on the screen; the screen's top when there
// is none.
int MenuBottom(const QWidget* w, const QRect& area) {
  QMainWindow* main = MainWindowOf(w);
  if (!main || !main->isVisible() || main == w) return area.top();
  QWidget* menu = main->menuWidget();
  if (!menu || !menu->isVisible()) return area.top();
  return menu->mapToGlobal(QPoint(0, menu->height())).y();
}

QRect FrameOf(const QWidget* w) {
  if (w->isVisible() && w->windowHandle() && w->windowHandle()->isExposed())
    return w->frameGeometry();
  const QMargins m = FrameMargins(w);
  // Before the window manager has framed it, a window's position is where its frame goes.
  return QRect(w->pos(), w->size().grownBy(m));
}

// Moves and, when it is larger than its frame allows, shrinks `w` so that its frame covers
// `frame`.
void SetFrame(QWidget* w, const QRect& frame) {
  // A place given outright (by the rule's own keeping inside, or by the program) ends the
  // reasons of an earlier one; the callers that centre or dock set theirs again after this.
  w->setProperty(kCentredOn, QVariant());
  w->setProperty(kBeside, QVariant());
  const QMargins m = FrameMargins(w);
  const QSize inner = frame.size().shrunkBy(m);
  if (inner != w->size()) w->resize(inner.expandedTo(w->minimumSize()));
  // Always asked for, also where it stands already, so that the window manager is told the
  // place is the program's. A window on the screen is moved by its frame through the window
  // system, which knows the frame as drawn: the widget's own idea of where its frame is may
  // lag behind it and take the move for no move at all.
  if (w->isVisible() && w->windowHandle() && w->windowHandle()->isExposed())
    w->windowHandle()->setFramePosition(frame.topLeft());
  else
    w->move(frame.topLeft());
  w->setProperty(kIntended, frame.topLeft());
}

// Centres a window's frame on `on`, below `clearTop` where there is room, inside its screen;
// centred again once the window manager has drawn its frame.
void Centre(QWidget* w, const QRect& on, int clearTop) {
  SetFrame(w, CentredOn(FrameOf(w).size(), on, ScreenArea(w), clearTop));
  w->setProperty(kCentredOn, on);
  w->setProperty(kClearTop, clearTop);
}

bool StaysOnTop(const QWidget* w) {
  if (w->windowFlags() & Qt::WindowStaysOnTopHint) return true;
  return w->windowHandle() && (w->windowHandle()->flags() & Qt::WindowStaysOnTopHint);
}

// A modal window shown while a stay-on-top window is on the screen joins it on top, so that
// it is never hidden under it (it is the newest, so the window manager puts it above).
void ModalAboveStayOnTop(QWidget* w) {
  if (w->windowModality() == Qt::NonModal || StaysOnTop(w) || !w->windowHandle()) return;
  for (QWidget* other : QApplication::topLevelWidgets()) {
    if (other == w || !other->isVisible() || !StaysOnTop(other) || !Placed(other)) continue;
    w->windowHandle()->setFlags(w->windowHandle()->flags() | Qt::WindowStaysOnTopHint);
    return;
  }
}

// A window the window manager has just framed and put somewhere: back to the place the rule
// gave it (a manager may put a window shown again where it likes), with its real frame
// inside the screen. False when it stands there already.
bool Settle(QWidget* w) {
  if (!Free(w)) return false;
  const QRect area = ScreenArea(w);
  // The window system's own account: the widget's copy of the frame may lag behind it.
  const QRect frame = w->windowHandle()->frameGeometry();
  const QVariant intended = w->property(kIntended);
  const QVariant centredOn = w->property(kCentredOn), beside = w->property(kBeside);
  QRect wanted = KeptInside(
      QRect(intended.isValid() ? intended.toPoint() : frame.topLeft(), frame.size()), area);
  // Centred or docked with a frame guessed before the manager drew it: again with the real
  // one.
  if (centredOn.isValid())
    wanted = CentredOn(frame.size(), centredOn.toRect(), area, w->property(kClearTop).toInt());
  else if (beside.isValid())
    if (const std::optional<QRect> place = Beside(frame.size(), beside.toRect(), area))
      wanted = *place;
  if (wanted == frame) return false;
  SetFrame(w, wanted);
  if (centredOn.isValid()) {
    w->setProperty(kCentredOn, centredOn);
  } else if (beside.isValid()) {
    w->setProperty(kBeside, beside);
  }
  return true;
}

class PlacementFilter : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::Expose) Exposed(o);
    if (!o->isWidgetType()) return false;
    auto* w = static_cast<QWidget*>(o);
    switch (e->type()) {
      case QEvent::Show:
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w)) {
          PlaceSubWindow(sub);
        } else if (Placed(w)) {
          ModalAboveStayOnTop(w);
          if (!w->property(kPlaced).toBool()) {
            PlaceWindow(w);
          } else {
            KeepOnScreen(w);
          }
          w->setProperty(kSettling, kSettlingMoves);
        }
        break;
      case QEvent::Resize:
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w); sub && sub->isVisible())
          PlaceSubWindow(sub);
        break;
      case QEvent::Move:
        // The window manager has framed a window just shown and moved it: its frame may
        // differ from the one it was placed with.
        if (e->spontaneous() && Placed(w) && w->property(kSettling).toInt() > 0 &&
            w->windowHandle() && !w->windowHandle()->frameMargins().isNull()) {
          // Once a move finds it in its place, later moves are the user's or the manager's.
          const int left = w->property(kSettling).toInt() - 1;
          w->setProperty(kSettling, Settle(w) ? left : 0);
        }
        break;
      case QEvent::Hide:
        if (Placed(w)) w->setProperty(kSettling, 0);
        break;
      case QEvent::MouseButtonPress:
      case QEvent::KeyPress:
        // The user is at work in it: where it is now is theirs.
        if (QWidget* top = w->window(); Placed(top)) top->setProperty(kSettling, 0);
        break;
      default:
        break;
    }
    return false;
  }

 private:
  // A window on the screen: framed by now where the window manager frames windows (it
  // reparents a window before mapping it), though it may not have moved it.
  static void Exposed(QObject* o) {
    auto* handle = qobject_cast<QWindow*>(o);
    if (!handle || !handle->isExposed()) return;
    QWidget* w = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
      if (top->windowHandle() == handle) w = top;
    if (!w || !Placed(w)) return;
    // Settled now, and once more at the manager's first move of it, which may come after.
    if (w->property(kSettling).toInt() > 0 && !handle->frameMargins().isNull()) Settle(w);
    // Its normal place settled, the main window is maximised: the manager keeps that place
    // to restore to.
    if (w->property(kMaximiseWhenExposed).toBool()) {
      w->setProperty(kMaximiseWhenExposed, false);
      w->showMaximized();
    }
  }
};

}  // namespace

QRect KeptInside(const QRect& frame, const QRect& area) {
  const QSize size = frame.size().boundedTo(area.size());
  const int x = std::clamp(frame.x(), area.left(), area.right() + 1 - size.width());
  const int y = std::clamp(frame.y(), area.top(), area.bottom() + 1 - size.height());
  return QRect(QPoint(x, y), size);
}

QRect CentredOn(QSize size, const QRect& on, const QRect& area, int clearTop) {
  QRect frame(QPoint(0, 0), size);
  frame.moveCenter(on.center());
  // Below the menu when the area leaves room for the whole frame there.
  if (frame.top() < clearTop && clearTop + size.height() <= area.bottom() + 1)
    frame.moveTop(clearTop);
  return KeptInside(frame, area);
}

std::optional<QRect> Beside(QSize size, const QRect& other, const QRect& area) {
  const QRect right(QPoint(other.right() + 1, other.top()), size);
  const QRect left(QPoint(other.left() - size.width(), other.top()), size);
  const QRect below(QPoint(other.left(), other.bottom() + 1), size);
  const QRect above(QPoint(other.left(), other.top() - size.height()), size);
  for (const QRect& side : {right, left, below, above}) {
    // Slid along the side it is on as far as the area asks, never onto `other`.
    const QRect kept = KeptInside(side, area);
    if (kept.size() == size && !kept.intersects(other)) return kept;
  }
  return std::nullopt;
}

void InstallWindowPlacement(QApplication& app) {
  app.installEventFilter(new PlacementFilter(&app));
}

QRect ScreenArea(const QWidget* window) {
  QScreen* screen = nullptr;
  if (window->windowHandle() && window->isVisible()) screen = window->screen();
  if (!screen)
    if (QWidget* owner = OwnerOf(window)) screen = owner->screen();
  if (!screen) screen = window->screen();
  if (!screen) screen = QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect();
}

QMargins FrameMargins(const QWidget* window) {
  if (window->windowHandle() && window->isVisible()) {
    const QMargins own = window->windowHandle()->frameMargins();
    if (!own.isNull()) return own;
  }
  // Not framed yet: the frame of a window already shown, its owner's first.
  QWidget* owner = OwnerOf(window);
  if (owner && owner->windowHandle() && owner->isVisible()) {
    const QMargins m = owner->windowHandle()->frameMargins();
    if (!m.isNull()) return m;
  }
  for (QWidget* top : QApplication::topLevelWidgets())
    if (top != window && top->isVisible() && top->windowHandle() && Placed(top)) {
      const QMargins m = top->windowHandle()->frameMargins();
      if (!m.isNull()) return m;
    }
  return {};
}

void PlaceWindow(QWidget* window) {
  window->setProperty(kPlaced, true);
  if (!Free(window)) return;
  const QRect area = ScreenArea(window);
  if (area.isEmpty()) return;
  const QRect frame = FrameOf(window);
  const int clear = MenuBottom(window, area);
  if (window->testAttribute(Qt::WA_Moved)) {
    // A place of the program's own: kept where it is on the screen, below the menu bar
    // when it would cover it.
    QRect kept = KeptInside(frame, area);
    if (kept.top() < clear && clear + kept.height() <= area.bottom() + 1) kept.moveTop(clear);
    SetFrame(window, kept);
    return;
  }
  QWidget* owner = OwnerOf(window);
  Centre(window, owner && owner->isVisible() ? owner->frameGeometry() : area, clear);
}

void PlaceWindowCentredOn(QWidget* window, const QRect& on) {
  window->setProperty(kPlaced, true);
  if (!Free(window)) return;
  const QRect area = ScreenArea(window);
  if (!area.isEmpty()) Centre(window, on, area.top());
}

void PlaceWindowAt(QWidget* window, QPoint frameTopLeft) {
  window->setProperty(kPlaced, true);
  const QRect frame = FrameOf(window);
  SetFrame(window, KeptInside(QRect(frameTopLeft, frame.size()), ScreenArea(window)));
}

bool PlaceWindowBeside(QWidget* window, const QRect& other) {
  const QRect frame = FrameOf(window);
  const std::optional<QRect> place = Beside(frame.size(), other, ScreenArea(window));
  if (!place) return false;
  window->setProperty(kPlaced, true);
  SetFrame(window, *place);
  window->setProperty(kBeside, other);
  return true;
}

QRect WindowFrame(const QWidget* window) { return FrameOf(window); }

void ShowMaximised(QWidget* window) {
  window->setWindowState(window->windowState() & ~Qt::WindowMaximized);
  window->setProperty(kMaximiseWhenExposed, true);
  window->show();
}

void KeepOnScreen(QWidget* window) {
  if (!Free(window)) return;
  const QRect area = ScreenArea(window);
  if (area.isEmpty()) return;
  const QRect frame = FrameOf(window);
  const QRect kept = KeptInside(frame, area);
  if (kept != frame) SetFrame(window, kept);
}

int CaptionBarWidth(const QMdiSubWindow* sub) {
  QStyleOptionTitleBar opt;
  opt.initFrom(sub);
  opt.text = sub->windowTitle();
  opt.titleBarFlags = sub->windowFlags();
  opt.titleBarState = int(sub->windowState());
  opt.subControls = QStyle::SC_All;
  const int height = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, &opt, sub);
  // Measured at a width that leaves the label some room, whatever the window's size now.
  opt.rect = QRect(0, 0, std::max(sub->width(), 400), height);
  const QRect label =
      sub->style()->subControlRect(QStyle::CC_TitleBar, &opt, QStyle::SC_TitleBarLabel, sub);
  const QFontMetrics fm(QApplication::font("QMdiSubWindowTitleBar"));
  const int text = opt.text.isEmpty() ? 0 : fm.horizontalAdvance(opt.text) + fm.averageCharWidth();
  return opt.rect.width() - label.width() + text;
}

void PlaceSubWindow(QMdiSubWindow* sub) {
  QMdiArea* mdi = sub->mdiArea();
  if (!mdi || sub->isMaximized() || sub->isMinimized() || sub->property(kPlacing).toBool()) return;
  // An area not on the screen yet has no size to go by: its windows are placed when it is
  // shown.
  const QRect area = mdi->viewport()->rect();
  if (!mdi->viewport()->isVisible() || area.isEmpty()) return;
  sub->setProperty(kPlacing, true);
  QRect frame = sub->geometry();
  // Wide enough for the caption bar, as far as the area goes; no larger than the area,
  // unless its contents cannot shrink.
  const QSize least = sub->minimumSizeHint().expandedTo(sub->minimumSize());
  frame.setWidth(std::max(frame.width(), std::min(CaptionBarWidth(sub), area.width())));
  frame.setSize(frame.size()
                    .boundedTo(area.size().expandedTo(least))
                    .expandedTo(least)
                    .boundedTo(sub->maximumSize()));
  const QRect kept = KeptInside(frame, area);
  // A window larger than the area keeps its caption bar at the area's top left.
  const QRect placed(kept.topLeft(), frame.size());
  if (placed.size() != sub->size()) sub->resize(placed.size());
  if (placed.topLeft() != sub->pos()) sub->move(placed.topLeft());
  sub->setProperty(kPlacing, false);
}

}  // namespace vandrel
