// What the homogeneity window shows: whole before and after a calculation, with every line
// of the report readable (the degree of homogeneity and the output path included).
#include <QPlainTextEdit>

#include "tests/results/ResultsFixture.h"
#include "tests/support/LayoutCheck.h"

namespace vandrel::testing {
namespace {

TEST_F(ResultsTest, TheHomogeneityWindowAndItsReportAreWhole) {
  for (int count : {4, 16}) {
    SCOPED_TRACE(std::to_string(count) + " images");
    TFormResultado* r = Rodar(Imagens(count));
    r->SpeedBtnHomogeneidade->click();
    Settle();
    TFormresultHomogeneidade* h = Janelas<TFormresultHomogeneidade>().back();
    ASSERT_TRUE(h);
    EXPECT_TRUE(LayoutIsWhole(h));
    h->Button1->click();
    Settle();
    const QString report = h->MemoResultados->toPlainText();
    ASSERT_TRUE(report.contains("Grau de homogeneidade = "));
    ASSERT_TRUE(report.contains("Arquivo de Saida = " + folder.Path()));
    EXPECT_TRUE(LayoutIsWhole(h));
    h->Close();
    r->Close();
    Settle();
  }
}

}  // namespace
}  // namespace vandrel::testing
