// The layout check itself: each kind of fault it exists for is reported, naming the widget,
// and a whole window gives no finding.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <functional>
#include <memory>

#include "tests/support/LayoutCheck.h"

namespace {

struct Case {
  const char* name;
  std::function<void(QWidget&)> build;
  const char* finding;  // a piece of the expected finding; null when the window is whole
};

TEST(LayoutCheckTest, ReportsEachKindOfFault) {
  const Case cases[] = {
      {"whole",
       [](QWidget& w) {
         auto* l = new QLabel("Espessura", &w);
         l->setGeometry(4, 4, 120, 20);
         auto* b = new QPushButton("OK", &w);
         b->setGeometry(4, 30, 80, 26);
       },
       nullptr},
      {"label cut",
       [](QWidget& w) { (new QLabel("Espessura da Linha", &w))->setGeometry(4, 4, 40, 20); },
       "QLabel 'cortado': text \"Espessura da Linha\" needs"},
      {"child outside",
       [](QWidget& w) { (new QPushButton("OK", &w))->setGeometry(150, 150, 80, 26); },
       "at (150,150) 80 x 26"},
      {"text runs into an edit",
       [](QWidget& w) {
         (new QLabel("Linhas Horizontais", &w))->setGeometry(4, 4, 150, 20);
         (new QLineEdit(&w))->setGeometry(40, 2, 30, 22);
       },
       "runs into QLineEdit"},
      {"check box runs into an edit",
       [](QWidget& w) {
         auto* c = new QCheckBox("Excluir Sequência", &w);
         c->move(4, 4);
         c->adjustSize();
         (new QLineEdit(&w))->setGeometry(60, 2, 30, 22);
       },
       "runs into QLineEdit"},
      {"memo line cut",
       [](QWidget& w) {
         auto* m = new QPlainTextEdit(&w);
         m->setLineWrapMode(QPlainTextEdit::NoWrap);
         m->setPlainText("Arquivo de Saida = /um/caminho/bem/longo/para/caber/A1.MED");
         m->setGeometry(4, 4, 120, 60);
       },
       "line \"Arquivo de Saida"},
      {"wrapped memo",
       [](QWidget& w) {
         auto* m = new QPlainTextEdit(&w);
         m->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
         m->setPlainText("Arquivo de Saida = /um/caminho/bem/longo/para/caber/A1.MED");
         m->setGeometry(4, 4, 120, 60);
       },
       nullptr},
      {"grid cell cut",
       [](QWidget& w) {
         auto* t = new QTableWidget(1, 1, &w);
         t->setItem(0, 0, new QTableWidgetItem("cementita ferrita"));
         t->setColumnWidth(0, 30);
         t->setGeometry(4, 4, 100, 60);
       },
       "cell (0,0) \"cementita ferrita\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QWidget w;
    w.resize(200, 120);
    c.build(w);
    for (QLabel* l : w.findChildren<QLabel*>()) l->setObjectName("cortado");
    w.show();
    const QStringList found = vandrel::testing::LayoutProblems(&w);
    if (!c.finding) {
      EXPECT_TRUE(found.isEmpty()) << found.join("\n").toStdString();
    } else {
      EXPECT_TRUE(found.join("\n").contains(c.finding)) << found.join("\n").toStdString();
    }
  }
}

TEST(LayoutCheckTest, AFormLargerThanItsSubWindowIsReported) {
  QMdiArea area;
  area.resize(600, 400);
  auto* form = new QWidget;
  form->setObjectName("forma");
  form->setFixedSize(200, 150);
  auto* botao = new QPushButton("Fechar", form);
  botao->setGeometry(10, 120, 80, 26);
  QMdiSubWindow* sub = area.addSubWindow(form);
  area.show();
  sub->show();
  sub->resize(sub->size() - QSize(0, 40));  // the bottom row under the frame's edge
  const QStringList found = vandrel::testing::LayoutProblems(form);
  EXPECT_TRUE(found.join("\n").contains("QWidget 'forma': window needs 200 x 150"))
      << found.join("\n").toStdString();
  EXPECT_TRUE(found.join("\n").contains("QPushButton")) << found.join("\n").toStdString();
}

TEST(LayoutCheckTest, ReportsChildWindowsOutsideTheClientAreaAndCutCaptions) {
  struct SubCase {
    const char* name;
    QString caption;
    QRect geometry;
    const char* finding;
  };
  const SubCase cases[] = {
      {"inside", "a.bmp", {10, 10, 200, 150}, nullptr},
      {"past the right edge", "a.bmp", {300, 10, 200, 150}, "leaves the frame's client area"},
      {"close button off the area", "a.bmp", {350, 10, 200, 150}, "close button"},
      {"above the area", "a.bmp", {10, -20, 200, 150}, "leaves the frame's client area"},
      {"caption cut", "micrografia_muito_longa.bmp 100%", {10, 10, 90, 150}, "caption"},
  };
  for (const SubCase& c : cases) {
    SCOPED_TRACE(c.name);
    QMdiArea area;
    area.resize(400, 300);
    QMdiSubWindow* sub = area.addSubWindow(new QWidget);
    sub->setWindowTitle(c.caption);
    area.show();
    sub->show();
    sub->setGeometry(c.geometry);
    const QString found = vandrel::testing::PlacementProblems(sub->widget()).join("\n");
    if (!c.finding) {
      EXPECT_TRUE(found.isEmpty()) << found.toStdString();
    } else {
      EXPECT_TRUE(found.contains(c.finding)) << found.toStdString();
    }
  }
}

TEST(LayoutCheckTest, ReportsTopLevelWindowsOffTheScreenOverTheMenuOrUnderAStayOnTopOne) {
  QMainWindow main;
  main.menuBar()->addMenu("&Arquivo");
  const QRect screen = main.screen()->availableGeometry();
  main.setGeometry(screen.adjusted(20, 20, -20, -20));
  main.show();
  QApplication::processEvents();
  const QRect menu(main.menuBar()->mapToGlobal(QPoint(0, 0)), main.menuBar()->size());
  struct TopCase {
    const char* name;
    QPoint at;
    const char* finding;
  };
  const TopCase cases[] = {
      {"in the middle", screen.center() - QPoint(100, 60), nullptr},
      {"off the right edge", QPoint(screen.right() - 50, 200), "leaves the screen's"},
      {"over the main menu", menu.topLeft() + QPoint(40, 0), "covers the main menu"},
  };
  for (const TopCase& c : cases) {
    SCOPED_TRACE(c.name);
    QWidget w(&main, Qt::Window);
    w.resize(200, 120);
    w.move(c.at);
    w.show();
    QApplication::processEvents();
    const QString found = vandrel::testing::PlacementProblems(&w).join("\n");
    if (!c.finding) {
      EXPECT_TRUE(found.isEmpty()) << found.toStdString();
    } else {
      EXPECT_TRUE(found.contains(c.finding)) << found.toStdString();
    }
  }
  // A modal window over a stay-on-top one, and the same modal window staying on top.
  QWidget tabela(&main, Qt::Tool | Qt::WindowStaysOnTopHint);
  tabela.setGeometry(QRect(screen.center() - QPoint(50, 50), QSize(100, 100)));
  tabela.show();
  for (bool onTop : {false, true}) {
    SCOPED_TRACE(onTop ? "on top" : "under");
    QDialog modal(&main);
    modal.setWindowModality(Qt::ApplicationModal);
    if (onTop) modal.setWindowFlag(Qt::WindowStaysOnTopHint);
    modal.setGeometry(QRect(screen.center() - QPoint(100, 100), QSize(200, 200)));
    modal.show();
    QApplication::processEvents();
    const QString found = vandrel::testing::PlacementProblems(&modal).join("\n");
    EXPECT_EQ(found.contains("lies under the stay-on-top"), !onTop) << found.toStdString();
  }
}

}  // namespace
