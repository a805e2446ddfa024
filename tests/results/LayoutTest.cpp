// What the results and homogeneity windows show: the window opens whole whether the run
// added rows or none, and every cell, button and report line shows its whole text.
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QTextEdit>

#include "tests/results/ResultsFixture.h"
#include "tests/support/LayoutCheck.h"

namespace vandrel::testing {
namespace {

struct RunCase {
  const char* name;
  int images;  // 0: an empty list
  uint8_t method;
  bool constraint;
  bool firstMissing;       // the first image of the list cannot be read
  int rows;                // grid rows after the run
  bool wideLabel = false;  // one image whose 12-character label is of wide letters
};

TEST_F(ResultsTest, TheWindowIsWholeEmptyOrFull) {
  const RunCase cases[] = {
      {"constraint option", 4, TFormResultado::kGradiente, true, false, 1},
      {"empty list", 0, TFormResultado::kSVD, false, false, 1},
      {"first image fails", 2, TFormResultado::kSVD, false, true, 1},
      {"one image", 1, TFormResultado::kSVD, false, false, 3},
      {"sixteen images", 16, TFormResultado::kSVD, false, false, 18},
      {"wide label", 0, TFormResultado::kSVD, false, false, 3, true},
  };
  for (const RunCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> paths = Imagens(c.images);
    if (c.firstMissing) paths.insert(paths.begin(), Path("imagens/falta.bmp"));
    if (c.wideLabel) paths.push_back(Imagem("MWMWMWMWMWMWMW.bmp", 8));
    TFormResultado* r = TFormResultado::CreateComPadrao(lista, Padrao());
    try {
      r->Analisar(paths, c.method, {}, c.constraint);
    } catch (const std::exception&) {
      EXPECT_TRUE(c.firstMissing);
    }
    Settle();
    EXPECT_EQ(r->StringGridResultado->rowCount(), c.rows);
    QMdiSubWindow* sub = r->SubWindow();
    ASSERT_TRUE(sub);
    EXPECT_TRUE(sub->isVisible());
    // The header row and the tool bar with "Homogeneidade" are on screen without a drag.
    EXPECT_TRUE(LayoutIsWhole(r));
    const QRect grade(r->StringGridResultado->mapTo(sub, QPoint()), r->StringGridResultado->size());
    EXPECT_TRUE(sub->contentsRect().contains(grade));
    EXPECT_GE(r->StringGridResultado->height(), r->StringGridResultado->rowHeight(0));
    EXPECT_EQ(r->SpeedBtnHomogeneidade->text(), "Homogeneidade");
    EXPECT_TRUE(r->SpeedBtnHomogeneidade->isVisible());
    r->Close();
    Settle();
  }
}

}  // namespace
}  // namespace vandrel::testing
