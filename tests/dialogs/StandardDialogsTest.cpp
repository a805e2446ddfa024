// The Qt dialog service's standard dialogs as the user sees them: Portuguese chrome, each
// filter shown once in the words the program gives, and the open-picture dialog's preview.
#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "platform/Bitmap.h"
#include "platform/Bmp.h"
#include "platform/qt/Dialogs.h"
#include "tests/support/LayoutCheck.h"

namespace vandrel {
namespace {

// Runs `look` on the modal dialog that `open` shows, then closes that dialog by `finish`.
template <typename Dialog>
void WhileShown(
    const std::function<void()>& open, const std::function<void(Dialog&)>& look,
    const std::function<void(Dialog&)>& finish = [](Dialog& d) { d.reject(); }) {
  // Looked for at every turn of the dialog's event loop until it is there; the look stops
  // with the call, so none is left over for later tests when the dialog never comes.
  bool seen = false;
  QTimer poll;
  poll.setInterval(0);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
      poll.stop();
      seen = true;
      look(*d);
      finish(*d);
    }
  });
  poll.start();
  open();
  poll.stop();
  EXPECT_TRUE(seen);
}

QStringList ComboTexts(QFileDialog& d) {
  auto* combo = d.findChild<QComboBox*>("fileTypeCombo");
  QStringList out;
  if (combo)
    for (int i = 0; i < combo->count(); ++i) out << combo->itemText(i);
  return out;
}

// Every text a user reads in a dialog: labels, buttons and the filter list.
QStringList Texts(QWidget& d) {
  QStringList out{d.windowTitle()};
  for (auto* l : d.findChildren<QLabel*>()) out << l->text();
  for (auto* b : d.findChildren<QAbstractButton*>()) out << b->text();
  return out;
}

class StandardDialogsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(InstallQtTranslations()); }
  QtDialogs qt;
};

struct FilterCase {
  const char* name;
  QString filter;
  QStringList shown;
};

TEST_F(StandardDialogsTest, EachFilterIsShownOnceInTheProgramsWords) {
  const FilterCase cases[] = {
      {"described with patterns",
       "Fases de Materiais (*.his)|*.his",
       {"Fases de Materiais (*.his)"}},
      {"pictures",
       "Bitmap do Windows (*.bmp)|*.bmp|Imagens TIFF (*.tif,*.tiff)|*.tif;*.tiff|CompuServe "
       "imagens (*.gif)|*.gif|Imagem Grey (*.grey)|*.grey|Todas as imagens(*.bmp,*.tif,*.tiff,"
       "*gif,*.grey)|*.bmp;*.tif;*.tiff;*gif;*.grey",
       {"Bitmap do Windows (*.bmp)", "Imagens TIFF (*.tif,*.tiff)", "CompuServe imagens (*.gif)",
        "Imagem Grey (*.grey)", "Todas as imagens(*.bmp,*.tif,*.tiff,*gif,*.grey)"}},
      {"described without patterns", "Limiares|*.als|Todos|*.*", {"Limiares", "Todos"}},
  };
  for (const FilterCase& c : cases) {
    SCOPED_TRACE(c.name);
    FileDialogSpec spec;
    spec.filter = c.filter;
    WhileShown<QFileDialog>([&] { qt.OpenFiles(spec); },
                            [&](QFileDialog& d) { EXPECT_EQ(ComboTexts(d), c.shown); });
  }
}

TEST_F(StandardDialogsTest, TheChosenFilterCountsFromOne) {
  QTemporaryDir dir;
  const QString file = dir.filePath("a.his");
  QFile(file).open(QIODevice::WriteOnly);
  for (int index : {1, 2, 3}) {
    SCOPED_TRACE(index);
    FileDialogSpec spec;
    spec.filter = "Fases (*.his)|*.his|Todas (*.*)|*.*|Outra|*.his";
    spec.filterIndex = index;
    spec.initialDir = dir.path();
    std::optional<FileDialogResult> result;
    WhileShown<QFileDialog>([&] { result = qt.OpenFiles(spec); },
                            [&](QFileDialog& d) { d.selectFile(file); },
                            [](QFileDialog& d) { static_cast<QDialog&>(d).accept(); });
    ASSERT_TRUE(result);
    EXPECT_EQ(result->filterIndex, index);
    EXPECT_EQ(result->files, QStringList{file});
  }
}

TEST_F(StandardDialogsTest, FileAndColourDialogsSpeakPortuguese) {
  const QStringList english{"Look in:", "File &name:",  "Files of type:", "&Open",
                            "Open",     "Cancel",       "&Save",          "Save",
                            "&Cancel",  "Select Color", "&Red:",          "&Basic colors"};
  FileDialogSpec spec;
  spec.filter = "Fases (*.his)|*.his";
  for (bool save : {false, true}) {
    SCOPED_TRACE(save ? "save" : "open");
    WhileShown<QFileDialog>([&] { save ? qt.SaveFile(spec) : qt.OpenFiles(spec); },
                            [&](QFileDialog& d) {
                              const QStringList texts = Texts(d);
                              for (const QString& e : english)
                                EXPECT_FALSE(texts.contains(e)) << e.toStdString();
                              EXPECT_TRUE(texts.contains("Cancelar"))
                                  << texts.join(" | ").toStdString();
                            });
  }
  WhileShown<QColorDialog>([&] { qt.ChooseColor(Qt::red); },
                           [&](QColorDialog& d) {
                             const QStringList texts = Texts(d);
                             for (const QString& e : english)
                               EXPECT_FALSE(texts.contains(e)) << e.toStdString();
                             EXPECT_TRUE(texts.contains("Cancelar"))
                                 << texts.join(" | ").toStdString();
                           });
}

TEST_F(StandardDialogsTest, TheOpenPictureDialogPreviewsTheSelectedPicture) {
  QTemporaryDir dir;
  Bitmap picture(40, 20, PixelFormat::pf24bit);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) {
      uint8_t* p = picture.scanLine(y) + 3 * x;
      p[0] = 0, p[1] = 0, p[2] = 255;  // red
    }
  const QString bmp = dir.filePath("vermelho.bmp");
  SaveBmp(picture, bmp.toStdString());
  const QString text = dir.filePath("nota.bmp");
  QFile f(text);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("not a picture");
  f.close();

  FileDialogSpec spec;
  spec.filter = "Bitmap do Windows (*.bmp)|*.bmp";
  spec.initialDir = dir.path();
  spec.picturePreview = true;
  WhileShown<QFileDialog>([&] { qt.OpenFiles(spec); },
                          [&](QFileDialog& d) {
                            auto* pane = d.findChild<QLabel*>("PreviewPane");
                            ASSERT_TRUE(pane);
                            EXPECT_TRUE(pane->isVisibleTo(&d));
                            emit d.currentChanged(bmp);
                            const QImage shown = pane->pixmap().toImage();
                            ASSERT_EQ(shown.size(), QSize(40, 20));
                            EXPECT_EQ(shown.pixelColor(5, 5), QColor(Qt::red));
                            // A file the loader refuses shows nothing, and the dialog goes on.
                            emit d.currentChanged(text);
                            EXPECT_TRUE(pane->pixmap().isNull());
                            EXPECT_TRUE(testing::LayoutIsWhole(&d));
                          });
  // Other file dialogs have no preview.
  spec.picturePreview = false;
  WhileShown<QFileDialog>(
      [&] { qt.OpenFiles(spec); },
      [&](QFileDialog& d) { EXPECT_FALSE(d.findChild<QLabel*>("PreviewPane")); });
}

TEST(PicturePreviewTest, LargePicturesAreScaledIntoTheBoundsKeepingTheirShape) {
  QTemporaryDir dir;
  const QString path = dir.filePath("largo.bmp");
  SaveBmp(Bitmap(800, 200, PixelFormat::pf24bit), path.toStdString());
  EXPECT_EQ(PicturePreview(path, QSize(200, 200)).size(), QSize(200, 50));
  EXPECT_TRUE(PicturePreview(dir.filePath("falta.bmp"), QSize(200, 200)).isNull());
  EXPECT_TRUE(PicturePreview(dir.path(), QSize(200, 200)).isNull());
}

}  // namespace
}  // namespace vandrel
