#include "platform/qt/FixedLayout.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>
#include <algorithm>
#include <cstring>
#include <vector>

namespace vandrel {

namespace {

QSize TextSize(const QFontMetrics& fm, const QString& text) {
  return fm.size(Qt::TextShowMnemonic | Qt::TextExpandTabs, text);
}

// How much wider and taller `w` must be for its whole text (nothing for controls without
// one, or that show it as they like).
QSize Shortfall(QWidget* w) {
  // Measured with the font and style it will be shown with.
  w->ensurePolished();
  const QFontMetrics fm(w->font());
  QSize need, has;
  if (auto* label = qobject_cast<QLabel*>(w)) {
    if (label->text().isEmpty() || !label->pixmap().isNull() || label->wordWrap() ||
        Qt::mightBeRichText(label->text()))
      return QSize(0, 0);
    const int m = label->margin();
    need = TextSize(fm, label->text());
    has = label->contentsRect().adjusted(m, m, -m, -m).size();
  } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
    // A frame with its own layout: as large as the layout needs.
    if (!box->layout()) return QSize(0, 0);
    need = box->minimumSizeHint();
    has = box->size();
  } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
    if (button->text().isEmpty()) return QSize(0, 0);
    QStyleOptionButton opt;
    opt.initFrom(button);
    opt.text = button->text();
    QStyle::SubElement contents = QStyle::SE_PushButtonContents;
    if (qobject_cast<QCheckBox*>(w)) contents = QStyle::SE_CheckBoxContents;
    if (qobject_cast<QRadioButton*>(w)) contents = QStyle::SE_RadioButtonContents;
    if (contents == QStyle::SE_PushButtonContents && !qobject_cast<QPushButton*>(w))
      return QSize(0, 0);
    const QRect area = w->style()->subElementRect(contents, &opt, w) & w->rect();
    need = TextSize(fm, button->text());
    // A push button's text keeps clear of its frame.
    if (contents == QStyle::SE_PushButtonContents) need += QSize(4, 0);
    has = area.size();
  } else {
    return QSize(0, 0);
  }
  return QSize(std::max(0, need.width() - has.width()), std::max(0, need.height() - has.height()));
}

// Frames drawn around other controls: they grow with what they hold.
bool Surround(const QWidget* w) {
  const char* kind = w->metaObject()->className();
  return (!strcmp(kind, "QFrame") || !strcmp(kind, "QGroupBox")) && !w->layout();
}

// The controls placed by hand inside `parent`, not by a layout.
std::vector<QWidget*> Placed(QWidget* parent) {
  std::vector<QWidget*> out;
  if (parent->layout()) return out;
  for (QObject* o : parent->children()) {
    auto* w = qobject_cast<QWidget*>(o);
    if (w && !w->isWindow() && !w->isHidden()) out.push_back(w);
  }
  return out;
}

// The frame drawn around `s` among `siblings` (the smallest one that holds it), leaving out
// frames that hold `w` too; null when none does.
QWidget* FrameAround(const QWidget* s, const QRect& w, const std::vector<QWidget*>& siblings) {
  QWidget* best = nullptr;
  for (QWidget* f : siblings) {
    const QRect g = f->geometry();
    if (f == s || !Surround(f) || !g.contains(s->geometry()) || g.contains(w)) continue;
    if (!best || g.width() * g.height() < best->width() * best->height()) best = f;
  }
  return best;
}

// Grows `w` by `by`, moving the controls to its right (in its rows) and below it (in its
// columns) by as much, and growing the frames around it. A control inside a frame of its own
// moves with that frame, so that what a frame groups stays together.
void Grow(QWidget* w, QSize by, const std::vector<QWidget*>& siblings) {
  const QRect was = w->geometry();
  std::vector<QPoint> own(siblings.size());
  for (size_t i = 0; i < siblings.size(); ++i) {
    const QRect g = siblings[i]->geometry();
    const bool sameRows = g.top() <= was.bottom() && g.bottom() >= was.top();
    const bool sameColumns = g.left() <= was.right() && g.right() >= was.left();
    if (by.width() > 0 && sameRows && g.left() >= was.right()) own[i].rx() = by.width();
    if (by.height() > 0 && sameColumns && g.top() >= was.bottom()) own[i].ry() = by.height();
  }
  // Decided on the places as they are, then applied.
  std::vector<QPoint> shift = own;
  for (size_t i = 0; i < siblings.size(); ++i)
    if (QWidget* frame = FrameAround(siblings[i], was, siblings))
      shift[i] = own[size_t(std::find(siblings.begin(), siblings.end(), frame) - siblings.begin())];
  for (size_t i = 0; i < siblings.size(); ++i) {
    QWidget* s = siblings[i];
    if (s == w) continue;
    if (Surround(s) && s->geometry().contains(was))
      s->resize(s->size() + by);
    else if (!shift[i].isNull())
      s->move(s->pos() + shift[i]);
  }
  w->resize(w->size() + by);
}

}  // namespace

bool FitTexts(QWidget* parent) {
  bool changed = false;
  const std::vector<QWidget*> siblings = Placed(parent);
  // Panels of fixed-place controls first: one whose controls grew grows as far as they reach.
  for (QWidget* panel : siblings) {
    if (panel->layout() || !FitTexts(panel)) continue;
    changed = true;
    const QRect reach = panel->childrenRect();
    const QSize by(std::max(0, reach.right() + 1 - panel->width()),
                   std::max(0, reach.bottom() + 1 - panel->height()));
    if (by.width() > 0 || by.height() > 0) Grow(panel, by, siblings);
  }
  // Each control once, in reading order, so that what grows pushes what follows it.
  std::vector<QWidget*> order = siblings;
  std::stable_sort(order.begin(), order.end(), [](const QWidget* a, const QWidget* b) {
    return a->y() != b->y() ? a->y() < b->y() : a->x() < b->x();
  });
  for (QWidget* w : order) {
    const QSize by = Shortfall(w);
    if (by.width() <= 0 && by.height() <= 0) continue;
    Grow(w, by, siblings);
    changed = true;
  }
  return changed;
}

QSize FittedSize(QWidget* window, QSize designed) {
  const QRect before = window->childrenRect();
  if (!FitTexts(window)) return designed;
  const QRect after = window->childrenRect();
  return designed + QSize(std::max(0, after.right() - before.right()),
                          std::max(0, after.bottom() - before.bottom()));
}

}  // namespace vandrel
