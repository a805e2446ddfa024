#pragma once
// The layout check of the window tests: renders a window off screen and reports every
// visible child that lies outside the visible area of its window (for a form inside an MDI
// sub-window, the sub-window's contents area) and every label, button, check box, group
// title, combo box, memo line, list entry and grid cell whose text does not fit whole in the
// widget's font. Each finding names the widget, its text and the sizes involved.
//
//   EXPECT_TRUE(vandrel::testing::LayoutIsWhole(window));
//
// The placement check looks at where a window is: a top-level window's frame (title bar
// included) inside the available area of its screen and clear of the main window's menu bar,
// a modal window not under a stay-on-top window, and a child window of an MDI area (the
// sub-window of a form, with its caption bar) inside the area's client part, its whole
// caption shown and its buttons reachable.
//
//   EXPECT_TRUE(vandrel::testing::PlacementIsWhole(window));
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QStringList>
#include <QStyle>
#include <QStyleOption>
#include <QStyleOptionTitleBar>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextOption>
#include <QToolButton>
#include <QWidget>
#include <QWindow>
#include <cmath>
#include <cstring>

namespace vandrel::testing {

namespace layout_detail {

inline QString Name(const QWidget* w) {
  QString name = w->metaObject()->className();
  if (!w->objectName().isEmpty()) name += " '" + w->objectName() + "'";
  return name;
}

inline QString Size(QSize s) { return QString("%1 x %2").arg(s.width()).arg(s.height()); }

inline QString Rect(const QRect& r) {
  return QString("(%1,%2) %3 x %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// Text of a widget as the user reads it, for the messages.
inline QString Quoted(const QString& text) { return "\"" + text + "\""; }

// Width and height a single- or multi-line text needs in `fm`.
inline QSize TextSize(const QFontMetrics& fm, const QString& text, bool mnemonic) {
  int flags = Qt::TextExpandTabs;
  if (mnemonic) flags |= Qt::TextShowMnemonic;
  return fm.size(flags, text);
}

inline void Need(QStringList& out, const QWidget* w, const QString& what, const QString& text,
                 QSize needed, QSize available) {
  if (needed.width() <= available.width() && needed.height() <= available.height()) return;
  out << QString("%1: %2 %3 needs %4, has %5")
             .arg(Name(w), what, Quoted(text), Size(needed), Size(available));
}

inline void CheckLabel(QStringList& out, const QLabel* label) {
  if (label->text().isEmpty() || !label->pixmap().isNull()) return;
  const QRect area = label->contentsRect().adjusted(label->margin(), label->margin(),
                                                    -label->margin(), -label->margin());
  const bool rich = label->textFormat() == Qt::RichText ||
                    (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
  if (rich) {
    // Rich text: the label's own measure at its width.
    const QSize needed(
        label->wordWrap() ? 0 : label->sizeHint().width(),
        label->wordWrap() ? label->heightForWidth(label->width()) : label->sizeHint().height());
    Need(out, label, "text", label->text(), needed, label->size());
    return;
  }
  const QFontMetrics fm(label->font());
  const bool mnemonic = label->buddy() != nullptr;
  QSize needed;
  if (label->wordWrap()) {
    int flags = Qt::TextWordWrap | Qt::TextExpandTabs;
    if (mnemonic) flags |= Qt::TextShowMnemonic;
    needed = fm.boundingRect(QRect(0, 0, area.width(), 1 << 20), flags, label->text()).size();
  } else {
    needed = TextSize(fm, label->text(), mnemonic);
  }
  needed.rwidth() += label->indent() > 0 ? label->indent() : 0;
  Need(out, label, "text", label->text(), needed, area.size());
}

inline void CheckButton(QStringList& out, QAbstractButton* button) {
  if (button->text().isEmpty()) return;
  const QFontMetrics fm(button->font());
  QSize needed = TextSize(fm, button->text(), true);
  QRect area;
  QStyle* style = button->style();
  if (auto* push = qobject_cast<QPushButton*>(button)) {
    QStyleOptionButton opt;
    opt.initFrom(push);
    opt.text = push->text();
    opt.icon = push->icon();
    opt.iconSize = push->iconSize();
    opt.features = push->isFlat() ? QStyleOptionButton::Flat : QStyleOptionButton::None;
    area = style->subElementRect(QStyle::SE_PushButtonContents, &opt, push);
    if (!push->icon().isNull()) needed.rwidth() += push->iconSize().width() + 4;
  } else if (qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button)) {
    QStyleOptionButton opt;
    opt.initFrom(button);
    opt.text = button->text();
    const bool check = qobject_cast<QCheckBox*>(button) != nullptr;
    area = style->subElementRect(
        check ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents, &opt, button);
    area &= button->rect();
  } else if (auto* tool = qobject_cast<QToolButton*>(button)) {
    if (tool->toolButtonStyle() == Qt::ToolButtonIconOnly && !tool->icon().isNull()) return;
    // The text is drawn inside the button's frame.
    const int fw = style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, tool);
    area = tool->rect().adjusted(fw, fw, -fw, -fw);
  } else {
    area = button->rect();
  }
  Need(out, button, "text", button->text(), needed, area.size());
}

inline void CheckGroupBox(QStringList& out, QGroupBox* box) {
  if (box->title().isEmpty()) return;
  QStyleOptionGroupBox opt;
  opt.initFrom(box);
  opt.text = box->title();
  opt.lineWidth = 1;
  opt.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
  if (box->isCheckable()) opt.subControls |= QStyle::SC_GroupBoxCheckBox;
  const QRect label =
      box->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, box);
  const QFontMetrics fm(box->font());
  const QSize needed = TextSize(fm, box->title(), true);
  // The title is drawn from the label's left edge; what passes the box's right edge is lost.
  const QSize available(box->rect().right() + 1 - label.left(), label.height());
  Need(out, box, "title", box->title(), needed, available);
}

inline void CheckCombo(QStringList& out, QComboBox* combo) {
  QStyleOptionComboBox opt;
  opt.initFrom(combo);
  opt.editable = combo->isEditable();
  const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &opt,
                                                     QStyle::SC_ComboBoxEditField, combo);
  const QFontMetrics fm(combo->font());
  const QString text = combo->currentIndex() < 0 ? combo->placeholderText() : combo->currentText();
  if (text.isEmpty()) return;
  Need(out, combo, "text", text, fm.size(Qt::TextSingleLine, text) + QSize(2, 0), field.size());
}

// A spin box shows its value and the largest value it accepts whole in its edit field.
inline void CheckSpin(QStringList& out, QSpinBox* spin) {
  QStyleOptionSpinBox opt;
  opt.initFrom(spin);
  opt.frame = spin->hasFrame();
  opt.buttonSymbols = spin->buttonSymbols();
  opt.subControls = QStyle::SC_SpinBoxFrame | QStyle::SC_SpinBoxEditField;
  if (spin->buttonSymbols() != QAbstractSpinBox::NoButtons)
    opt.subControls |= QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
  const QRect field =
      spin->style()->subControlRect(QStyle::CC_SpinBox, &opt, QStyle::SC_SpinBoxEditField, spin);
  const QFontMetrics fm(spin->font());
  // The line edit inside keeps two pixels clear on each side.
  const QSize available(field.width() - 4, field.height());
  for (int value : {spin->value(), spin->maximum(), spin->minimum()}) {
    const QString text = spin->prefix() + QString::number(value) + spin->suffix();
    Need(out, spin, "value", text, QSize(fm.horizontalAdvance(text), fm.height()), available);
  }
}

// Lines of a memo: a memo that does not wrap must fit each line in its viewport's width; one
// that wraps at word boundaries only must fit each word.
inline void CheckDocument(QStringList& out, QWidget* memo, QTextDocument* doc, int viewportWidth,
                          bool wraps, QTextOption::WrapMode mode) {
  if (wraps &&
      (mode == QTextOption::WrapAnywhere || mode == QTextOption::WrapAtWordBoundaryOrAnywhere))
    return;
  const int available = viewportWidth - 2 * int(std::ceil(doc->documentMargin()));
  const QFontMetrics fm(doc->defaultFont());
  for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
    const QStringList pieces =
        wraps ? block.text().split(' ', Qt::SkipEmptyParts) : QStringList{block.text()};
    for (const QString& piece : pieces) {
      const int width = fm.horizontalAdvance(piece);
      if (width > available)
        out << QString("%1: line %2 needs width %3, has %4")
                   .arg(Name(memo), Quoted(block.text()))
                   .arg(width)
                   .arg(available);
    }
  }
}

// Cells of a table and entries of a list: the displayed text within the cell.
inline void CheckItems(QStringList& out, QAbstractItemView* view) {
  QAbstractItemModel* model = view->model();
  if (!model) return;
  const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
  for (int r = 0; r < model->rowCount(); ++r)
    for (int c = 0; c < model->columnCount(); ++c) {
      const QModelIndex index = model->index(r, c);
      const QString text = index.data(Qt::DisplayRole).toString();
      const QRect cell = view->visualRect(index);
      if (text.isEmpty() || cell.isEmpty()) continue;
      const QFont font = index.data(Qt::FontRole).isValid()
                             ? index.data(Qt::FontRole).value<QFont>()
                             : view->font();
      int decoration = 0;
      if (index.data(Qt::DecorationRole).isValid()) decoration = view->iconSize().width() + 4;
      // A check box before the text.
      if (index.data(Qt::CheckStateRole).isValid())
        decoration += view->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, view) + 4;
      QSize needed = QFontMetrics(font).size(Qt::TextSingleLine, text);
      needed.rwidth() += 2 * margin + decoration;
      if (needed.width() > cell.width() || needed.height() > cell.height())
        out << QString("%1: cell (%2,%3) %4 needs %5, has %6")
                   .arg(Name(view))
                   .arg(r)
                   .arg(c)
                   .arg(Quoted(text), Size(needed), Size(cell.size()));
    }
}

// The part of a label's or check box's widget that its text covers, in its parent's
// coordinates (for a check box or radio button, from its box to the end of its text).
inline QRect TextExtent(QWidget* w) {
  const QFontMetrics fm(w->font());
  if (auto* label = qobject_cast<QLabel*>(w)) {
    if (label->text().isEmpty() || !label->pixmap().isNull() || label->wordWrap()) return {};
    const QRect area = label->contentsRect().adjusted(label->margin(), label->margin(),
                                                      -label->margin(), -label->margin());
    const QSize need = TextSize(fm, label->text(), label->buddy() != nullptr);
    int left = area.left();
    if (label->alignment() & Qt::AlignRight) left = area.right() + 1 - need.width();
    if (label->alignment() & Qt::AlignHCenter)
      left = area.left() + (area.width() - need.width()) / 2;
    int top = area.top();
    if (label->alignment() & Qt::AlignVCenter) top += (area.height() - need.height()) / 2;
    if (label->alignment() & Qt::AlignBottom) top = area.bottom() + 1 - need.height();
    return QRect(label->mapToParent(QPoint(left, top)), need) & QRect(label->pos(), label->size());
  }
  auto* button = qobject_cast<QAbstractButton*>(w);
  const bool check = qobject_cast<QCheckBox*>(w) != nullptr;
  if (!button || (!check && !qobject_cast<QRadioButton*>(w)) || button->text().isEmpty()) return {};
  QStyleOptionButton opt;
  opt.initFrom(button);
  opt.text = button->text();
  const QRect area = w->style()->subElementRect(
      check ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents, &opt, w);
  const QSize need = TextSize(fm, button->text(), true);
  const QRect extent(0, 0, area.left() + need.width(), w->height());
  return QRect(w->mapToParent(extent.topLeft()), extent.size()) & QRect(w->pos(), w->size());
}

// Controls that a text must keep clear of: every visible sibling except plain containers,
// shapes and empty labels.
inline bool Obstacle(const QWidget* sibling) {
  const char* kind = sibling->metaObject()->className();
  if (!strcmp(kind, "QFrame") || !strcmp(kind, "QWidget") || !strcmp(kind, "QGroupBox") ||
      !strcmp(kind, "TShape"))
    return false;
  if (auto* label = qobject_cast<const QLabel*>(sibling))
    return !label->text().isEmpty() || !label->pixmap().isNull();
  return true;
}

inline void CheckCovered(QStringList& out, QWidget* w, const QWidget* root) {
  const QRect text = TextExtent(w);
  if (text.isEmpty() || !w->parentWidget()) return;
  for (QObject* o : w->parentWidget()->children()) {
    auto* sibling = qobject_cast<QWidget*>(o);
    if (!sibling || sibling == w || sibling->isWindow() || !sibling->isVisibleTo(root) ||
        !Obstacle(sibling))
      continue;
    if (sibling->geometry().intersects(text))
      out << QString("%1: text %2 at %3 runs into %4 at %5")
                 .arg(Name(w),
                      Quoted(qobject_cast<QLabel*>(w) ? qobject_cast<QLabel*>(w)->text()
                                                      : qobject_cast<QAbstractButton*>(w)->text()),
                      Rect(text), Name(sibling), Rect(sibling->geometry()));
  }
}

// The area of `root` in which its children are seen, in root's coordinates.
inline QRect VisibleArea(QWidget* root) {
  if (auto* sub = qobject_cast<QMdiSubWindow*>(root->parentWidget())) {
    const QRect inside = sub->contentsRect();
    return QRect(root->mapFrom(sub, inside.topLeft()), inside.size()) & root->rect();
  }
  return root->rect();
}

// Children whose extent is the business of a scrolling parent (the contents of a scroll
// area, the windows of an MDI area) are not checked against their window.
inline bool Scrolled(const QWidget* w, const QWidget* root) {
  for (const QWidget* p = w->parentWidget(); p && p != root; p = p->parentWidget())
    if (auto* area = qobject_cast<const QAbstractScrollArea*>(p->parentWidget()))
      if (area->viewport() == p) return true;
  return false;
}

// Children of an MDI area and of other windows (tool windows parented to this one) belong
// to those windows, which are checked on their own.
inline bool OtherWindow(const QWidget* w, const QWidget* root) {
  for (const QWidget* p = w; p && p != root; p = p->parentWidget())
    if (p->isWindow() || qobject_cast<const QMdiArea*>(p->parentWidget())) return true;
  return false;
}

}  // namespace layout_detail

// Findings of the layout check for `window` (a top-level window or a form inside an MDI
// sub-window); empty when every child is whole.
inline QStringList LayoutProblems(QWidget* window) {
  using namespace layout_detail;
  QStringList out;
  // Polish, lay out and paint once, as the screen would.
  QWidget* frame = window;
  if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget())) frame = sub;
  QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  QApplication::processEvents();
  (void)frame->grab();
  QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);

  const QRect area = VisibleArea(window);
  if (area != window->rect())
    out << QString("%1: window needs %2, its frame shows %3")
               .arg(Name(window), Size(window->size()), Rect(area));
  const QList<QWidget*> children = window->findChildren<QWidget*>();
  for (QWidget* w : children) {
    if (OtherWindow(w, window) || !w->isVisibleTo(window)) continue;
    if (w->width() <= 0 || w->height() <= 0) continue;
    if (!Scrolled(w, window)) {
      // Seen through every parent up to the window.
      QRect seen = QRect(w->mapTo(window, QPoint(0, 0)), w->size());
      const QRect whole = seen;
      for (QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
        seen &= QRect(p->mapTo(window, QPoint(0, 0)), p->size());
      seen &= area;
      if (seen != whole)
        out << QString("%1: at %2 in %3 shows only %4")
                   .arg(Name(w), Rect(whole), Name(w->parentWidget()), Rect(seen));
    }
    if (auto* label = qobject_cast<QLabel*>(w)) CheckLabel(out, label);
    CheckCovered(out, w, window);
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
      // The buttons inside a combo box, spin box or scroll bar carry no text of ours.
      if (!qobject_cast<QScrollBar*>(w->parentWidget())) CheckButton(out, button);
    }
    if (auto* box = qobject_cast<QGroupBox*>(w)) CheckGroupBox(out, box);
    if (auto* combo = qobject_cast<QComboBox*>(w)) CheckCombo(out, combo);
    if (auto* spin = qobject_cast<QSpinBox*>(w)) CheckSpin(out, spin);
    if (auto* memo = qobject_cast<QPlainTextEdit*>(w))
      CheckDocument(out, memo, memo->document(), memo->viewport()->width(),
                    memo->lineWrapMode() != QPlainTextEdit::NoWrap, memo->wordWrapMode());
    if (auto* memo = qobject_cast<QTextEdit*>(w))
      CheckDocument(out, memo, memo->document(), memo->viewport()->width(),
                    memo->lineWrapMode() != QTextEdit::NoWrap, memo->wordWrapMode());
    if (auto* view = qobject_cast<QAbstractItemView*>(w))
      if (!qobject_cast<QHeaderView*>(w)) CheckItems(out, view);
  }
  return out;
}

// For EXPECT_TRUE: passes when the window is whole, otherwise lists every finding.
inline ::testing::AssertionResult LayoutIsWhole(QWidget* window) {
  const QStringList problems = LayoutProblems(window);
  if (problems.isEmpty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << layout_detail::Name(window).toStdString() << " is not whole:\n  "
         << problems.join("\n  ").toStdString();
}

namespace layout_detail {

inline bool StaysOnTop(const QWidget* w) {
  if (w->windowFlags() & Qt::WindowStaysOnTopHint) return true;
  return w->windowHandle() && (w->windowHandle()->flags() & Qt::WindowStaysOnTopHint);
}

inline bool Maximised(const QWidget* w) {
  return w->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen);
}

// The menu bar of the first visible main window other than `w`, on the screen.
inline QRect MainMenu(const QWidget* w) {
  for (QWidget* top : QApplication::topLevelWidgets()) {
    auto* main = qobject_cast<QMainWindow*>(top);
    if (!main || main == w || !main->isVisible() || !main->menuWidget()) continue;
    const QWidget* menu = main->menuWidget();
    if (menu->isVisible()) return QRect(menu->mapToGlobal(QPoint(0, 0)), menu->size());
  }
  return {};
}

inline void CheckTopLevel(QStringList& out, QWidget* w) {
  const QRect frame = w->frameGeometry();
  QScreen* screen = w->screen();
  if (!screen) {
    out << Name(w) + ": on no screen";
    return;
  }
  const QRect area = screen->availableGeometry();
  if (!area.contains(frame))
    out << QString("%1: frame %2 (title bar included) leaves the screen's %3")
               .arg(Name(w), Rect(frame), Rect(area));
  const QRect menu = MainMenu(w);
  // Over the menu bar only where the screen leaves no room below it.
  if (!menu.isEmpty() && frame.intersects(menu) && frame.height() <= area.bottom() - menu.bottom())
    out << QString("%1: frame %2 covers the main menu at %3").arg(Name(w), Rect(frame), Rect(menu));
  if (w->windowModality() == Qt::NonModal) return;
  for (QWidget* other : QApplication::topLevelWidgets()) {
    if (other == w || !other->isVisible() || !StaysOnTop(other)) continue;
    const QRect overlap = other->frameGeometry() & w->geometry();
    if (overlap.isEmpty()) continue;
    // Under a window manager the server says which window is on top at a point; elsewhere
    // the modal window must stay on top itself.
    bool under = !StaysOnTop(w);
    if (QGuiApplication::platformName() == "xcb")
      under = QGuiApplication::topLevelAt(overlap.center()) != w->windowHandle();
    if (under)
      out << QString("%1: modal, lies under the stay-on-top %2 at %3")
                 .arg(Name(w), Name(other), Rect(overlap));
  }
}

inline void CheckSubWindow(QStringList& out, QMdiSubWindow* sub) {
  QMdiArea* mdi = sub->mdiArea();
  if (!mdi || sub->isMinimized() || sub->isMaximized()) return;
  const QRect client = mdi->viewport()->rect();
  const QRect frame = sub->geometry();
  if (!client.contains(frame))
    out << QString("%1: sub-window %2 leaves the frame's client area %3")
               .arg(Name(sub), Rect(frame), Rect(client));
  QStyleOptionTitleBar opt;
  opt.initFrom(sub);
  opt.text = sub->windowTitle();
  opt.titleBarFlags = sub->windowFlags();
  opt.titleBarState = int(sub->windowState());
  opt.subControls = QStyle::SC_All;
  opt.rect =
      QRect(0, 0, sub->width(), sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, &opt, sub));
  const QRect label =
      sub->style()->subControlRect(QStyle::CC_TitleBar, &opt, QStyle::SC_TitleBarLabel, sub);
  const QFontMetrics fm(QApplication::font("QMdiSubWindowTitleBar"));
  // The whole caption, where the client area is wide enough for it.
  if (fm.horizontalAdvance(opt.text) > label.width() && sub->width() < client.width())
    out << QString("%1: caption %2 needs %3, its caption bar shows %4")
               .arg(Name(sub), Quoted(opt.text))
               .arg(fm.horizontalAdvance(opt.text))
               .arg(label.width());
  if (sub->windowFlags() & Qt::WindowCloseButtonHint) {
    const QRect close = sub->style()->subControlRect(QStyle::CC_TitleBar, &opt,
                                                     QStyle::SC_TitleBarCloseButton, sub);
    const QRect seen(sub->mapTo(mdi->viewport(), close.topLeft()), close.size());
    if (!close.isEmpty() && !client.contains(seen))
      out << QString("%1: close button at %2 outside the client area %3")
                 .arg(Name(sub), Rect(seen), Rect(client));
  }
}

}  // namespace layout_detail

// Findings of the placement check for `window`: a top-level window, or a form inside an MDI
// sub-window (whose frame is checked as the main window is, with PlacementProblems of it).
inline QStringList PlacementProblems(QWidget* window) {
  using namespace layout_detail;
  QStringList out;
  QApplication::processEvents();
  if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget())) {
    CheckSubWindow(out, sub);
    return out;
  }
  if (auto* sub = qobject_cast<QMdiSubWindow*>(window)) {
    CheckSubWindow(out, sub);
    return out;
  }
  if (window->isWindow() && !Maximised(window)) CheckTopLevel(out, window);
  return out;
}

inline ::testing::AssertionResult PlacementIsWhole(QWidget* window) {
  const QStringList problems = PlacementProblems(window);
  if (problems.isEmpty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << layout_detail::Name(window).toStdString() << " is not placed whole:\n  "
         << problems.join("\n  ").toStdString();
}

}  // namespace vandrel::testing
