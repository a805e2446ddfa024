// What the image-operation dialogs show: the brightness dialog and the similar-pixels
// dialog at its size of 330 x 155, for grey and colour images, whole.
#include <QGroupBox>
#include <QSlider>

#include "app/imaging/ui/UnitBrilho.h"
#include "app/imaging/ui/UnitSimilares.h"
#include "tests/imageops/ImageOpsTestUtil.h"
#include "tests/imageops/OperationsFixture.h"
#include "tests/support/LayoutCheck.h"

namespace vandrel::testing {
namespace {

class OperationDialogsLayoutTest : public Operacoes {};

TEST_F(OperationDialogsLayoutTest, SimilaresIsWholeAtItsSize) {
  const struct {
    const char* name;
    Bitmap image;
  } cases[] = {{"grey", Grey({{1, 2}, {3, 4}})}, {"colour", Rgb({{{1, 2, 3}, {4, 5, 6}}})}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TFormImagem* w = Abrir(c.image, QString(c.name) + ".bmp");
    std::unique_ptr<TFormSimilares> f(TFormSimilares::CreateComImagem(principal.get(), w));
    f->show();
    Settle();
    EXPECT_EQ(f->size(), QSize(330, 155));
    EXPECT_TRUE(LayoutIsWhole(f.get()));
    // With "Outra" and a colour chosen the swatch and the colour box stay whole too.
    f->RadioButton4->click();
    f->ColorBox1->setCurrentIndex(f->ColorBox1->count() - 1);
    Settle();
    EXPECT_TRUE(LayoutIsWhole(f.get()));
  }
}

TEST_F(OperationDialogsLayoutTest, BrilhoIsWhole) {
  Abrir(Grey({{1}}), "a.bmp");
  bool visto = false;
  dialogs->forms.push_back([&](QDialog& d) {
    visto = true;
    auto& f = dynamic_cast<TFormBrilho&>(d);
    for (int v : {0, 100}) {
      f.BarraBrilho->setValue(v);
      Settle();
      EXPECT_TRUE(LayoutIsWhole(&f)) << v;
    }
  });
  principal->Brilho->trigger();
  Settle();
  EXPECT_TRUE(visto);
}

}  // namespace
}  // namespace vandrel::testing
