// The placement rule the program's windows go by: the geometry of keeping a frame inside an
// area and of centring it, child windows in their MDI area, top-level windows on the screen
// and clear of the main menu, modal windows above stay-on-top ones.
#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QWindow>
#include <optional>

#include "platform/qt/Placement.h"
#include "tests/support/GuiTest.h"
#include "tests/support/LayoutCheck.h"

namespace vandrel::testing {
namespace {

TEST(PlacementRule, KeepsAFrameInsideItsArea) {
  const QRect area(0, 0, 800, 600);
  struct Case {
    const char* name;
    QRect frame;
    QRect kept;
  };
  const Case cases[] = {
      {"inside stays", {100, 50, 300, 200}, {100, 50, 300, 200}},
      {"past the right edge", {700, 50, 300, 200}, {500, 50, 300, 200}},
      {"past the bottom", {100, 500, 300, 200}, {100, 400, 300, 200}},
      {"above and left", {-40, -30, 300, 200}, {0, 0, 300, 200}},
      {"wider than the area", {100, 50, 1000, 200}, {0, 50, 800, 200}},
      {"larger both ways", {300, 300, 1900, 1300}, {0, 0, 800, 600}},
      {"exactly the area", {0, 0, 800, 600}, {0, 0, 800, 600}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(KeptInside(c.frame, area), c.kept);
    EXPECT_TRUE(area.contains(KeptInside(c.frame, area)));
  }
  // An area that does not start at the origin.
  EXPECT_EQ(KeptInside({0, 0, 100, 100}, {50, 20, 800, 600}), QRect(50, 20, 100, 100));
}

TEST(PlacementRule, CentresOnTheOwnerBelowTheMenuWhenThereIsRoom) {
  const QRect screen(0, 0, 1024, 768);
  struct Case {
    const char* name;
    QSize size;
    QRect owner;
    int clearTop;
    QRect placed;
  };
  const Case cases[] = {
      {"centred on a maximised owner", {400, 300}, screen, 40, {312, 234, 400, 300}},
      {"centred on a small owner", {200, 100}, {100, 100, 400, 200}, 40, {200, 150, 200, 100}},
      {"would cover the menu: just below it",
       {200, 200},
       {0, 0, 400, 120},
       40,
       {100, 40, 200, 200}},
      {"no room below the menu: on the screen", {300, 750}, screen, 40, {362, 9, 300, 750}},
      {"owner near the right edge", {300, 200}, {900, 300, 200, 100}, 40, {724, 250, 300, 200}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CentredOn(c.size, c.owner, screen, c.clearTop), c.placed);
  }
}

TEST(PlacementRule, PutsAFrameBesideAnotherWhereTheWholeFrameFits) {
  const QRect screen(0, 0, 1024, 768);
  const QSize table(180, 330);
  struct Case {
    const char* name;
    QRect other;
    std::optional<QRect> placed;
  };
  const Case cases[] = {
      {"room at the right", {100, 100, 300, 500}, QRect(400, 100, 180, 330)},
      {"right edge exactly reached", {544, 100, 300, 500}, QRect(844, 100, 180, 330)},
      {"one pixel short at the right: at the left",
       {545, 100, 300, 500},
       QRect(365, 100, 180, 330)},
      {"at the right edge: at the left", {724, 0, 300, 600}, QRect(544, 0, 180, 330)},
      {"low on the screen: slid up along the side",
       {100, 600, 300, 100},
       QRect(400, 438, 180, 330)},
      {"no room at either side: below", {0, 0, 1000, 400}, QRect(0, 400, 180, 330)},
      {"no room at the sides nor below: above", {0, 400, 1000, 368}, QRect(0, 70, 180, 330)},
      {"no room anywhere", {0, 100, 1000, 600}, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<QRect> placed = Beside(table, c.other, screen);
    EXPECT_EQ(placed, c.placed);
    if (placed) {
      EXPECT_TRUE(screen.contains(*placed));
      EXPECT_FALSE(placed->intersects(c.other));
    }
  }
}

class ChildWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    mdi.resize(600, 400);
    mdi.show();
    Settle();
  }
  QMdiSubWindow* Add(QWidget* form, const QString& caption) {
    QMdiSubWindow* sub = mdi.addSubWindow(form);
    sub->setWindowTitle(caption);
    sub->show();
    Settle();
    return sub;
  }
  QRect Client() const { return mdi.viewport()->rect(); }
  QMdiArea mdi;
};

TEST_F(ChildWindows, AGrowingWindowStaysInsideTheClientArea) {
  QMdiSubWindow* sub = Add(new QWidget, "grande.bmp");
  sub->move(300, 200);
  sub->resize(1900, 1300);  // as a large picture asks
  Settle();
  EXPECT_EQ(sub->geometry(), Client());
  EXPECT_TRUE(PlacementIsWhole(sub));
  sub->resize(200, 150);
  sub->move(500, 300);  // the user may move it partly out
  EXPECT_EQ(sub->pos(), QPoint(500, 300));
  sub->resize(250, 150);  // the next change of size brings it back
  Settle();
  EXPECT_TRUE(Client().contains(sub->geometry()));
}

TEST_F(ChildWindows, AWindowThatCannotShrinkKeepsItsCaptionBarInView) {
  auto* form = new QWidget;
  form->setFixedSize(700, 300);
  QMdiSubWindow* sub = Add(form, "Limiares");
  sub->move(200, 150);
  PlaceSubWindow(sub);  // as a form does when it fits its frame to its content
  EXPECT_EQ(form->size(), QSize(700, 300));
  EXPECT_EQ(sub->pos(), QPoint(0, 150 - std::max(0, 150 + sub->height() - Client().height())));
  EXPECT_GE(sub->x(), 0);
  EXPECT_GE(sub->y(), 0);
}

TEST_F(ChildWindows, ANarrowWindowWidensToItsCaption) {
  auto* tiny = new QWidget;
  tiny->resize(3, 3);
  QMdiSubWindow* sub = Add(tiny, "minuscula.bmp 100%");
  sub->resize(20, 40);
  Settle();
  EXPECT_GE(sub->width(), CaptionBarWidth(sub));
  EXPECT_TRUE(PlacementIsWhole(sub));
  // A caption wider than the client area: as wide as the area.
  auto* other = new QWidget;
  QMdiSubWindow* longo = Add(other, QString(200, 'x'));
  longo->resize(30, 40);
  Settle();
  EXPECT_EQ(longo->width(), Client().width());
}

TEST(TopLevelWindows, OpenCentredOnTheMainWindowInsideTheScreenAndBelowItsMenu) {
  QMainWindow main;
  main.menuBar()->addMenu("&Arquivo");
  main.setCentralWidget(new QLabel("Vandrel"));
  const QRect screen = main.screen()->availableGeometry();
  main.setGeometry(screen.adjusted(10, 10, -10, -10));
  main.show();
  Settle();
  struct Case {
    const char* name;
    QSize size;
    std::optional<QPoint> moved;  // a place of the program's own
  };
  const Case cases[] = {
      {"no place of its own", {300, 200}, {}},
      {"placed off the screen's right edge", {300, 200}, QPoint(screen.right() - 20, 300)},
      {"placed over the menu", {300, 200}, QPoint(40, 0)},
      {"larger than the screen", screen.size() + QSize(200, 200), {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QWidget window(&main, Qt::Window);
    window.resize(c.size);
    if (c.moved) window.move(*c.moved);
    window.show();
    Settle();
    EXPECT_TRUE(PlacementIsWhole(&window));
    if (!c.moved && c.size.width() < screen.width()) {
      EXPECT_EQ(window.frameGeometry().center(), main.frameGeometry().center());
    }
  }
}

TEST(TopLevelWindows, AModalWindowStaysAboveAStayOnTopOne) {
  QWidget owner;
  owner.resize(400, 300);
  owner.show();
  for (bool table : {false, true}) {
    SCOPED_TRACE(table ? "with a stay-on-top table" : "alone");
    QWidget tabela(&owner, Qt::Tool | Qt::WindowStaysOnTopHint);
    tabela.resize(180, 300);
    if (table) tabela.show();
    QDialog cores(&owner);
    cores.resize(150, 400);
    cores.setWindowModality(Qt::ApplicationModal);
    cores.show();
    Settle();
    ASSERT_TRUE(cores.windowHandle());
    EXPECT_EQ(bool(cores.windowHandle()->flags() & Qt::WindowStaysOnTopHint), table);
    EXPECT_TRUE(PlacementIsWhole(&cores));
    cores.hide();
  }
}

}  // namespace
}  // namespace vandrel::testing
