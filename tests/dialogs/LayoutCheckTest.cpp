// The layout check itself: each kind of fault it exists for is reported, naming the widget,
// and a whole window gives no finding.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
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

}  // namespace
