// The batch on several threads: the runner that hands results out in list order, the
// results window run with workers against the same run on one thread (table, "temp.vol",
// messages and the error that stops it), and what the user sees meanwhile: the busy cursor,
// the modal window naming each image, and clicks refused rather than run afterwards.
#include <qpa/qwindowsysteminterface.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QLabel>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <atomic>
#include <new>
#include <set>
#include <stdexcept>
#include <thread>

#include "app/analysis/model/BatchRunner.h"
#include "app/analysis/ui/RunProgress.h"
#include "codecs/gif/GifImage.h"
#include "codecs/tiff/TiffImage.h"
#include "platform/Errors.h"
#include "tests/results/ResultsFixture.h"

namespace vandrel::testing {
namespace {

// ---- the runner ----

struct RunnerCase {
  unsigned threads;
  size_t count;
  size_t ahead;
  long failAt;  // the job that throws, -1 for none
};

class BatchRunnerTest : public ::testing::TestWithParam<RunnerCase> {};

TEST_P(BatchRunnerTest, HandsResultsOutInOrderWithinTheLookAhead) {
  const RunnerCase c = GetParam();
  std::atomic<size_t> entered{0};  // Take calls begun
  std::atomic<int> running{0}, mostRunning{0}, beyond{0};
  std::vector<std::atomic<int>> runs(c.count);
  {
    BatchRunner<std::string> runner(c.count, c.threads, c.ahead, [&](size_t i) {
      const int now = ++running;
      int seen = mostRunning.load();
      while (now > seen && !mostRunning.compare_exchange_weak(seen, now)) {
      }
      // A worker may start image i only while i is fewer than `ahead` past the next image
      // to be taken.
      if (c.threads && i >= entered.load() + c.ahead) ++beyond;
      ++runs[i];
      // Uneven job times, so that later images often finish first.
      std::this_thread::sleep_for(std::chrono::microseconds((i * 7919) % 5 * 200));
      --running;
      if (long(i) == c.failAt) throw InOutError(2);
      return "r" + std::to_string(i * i);
    });
    for (size_t i = 0; i < c.count; ++i) {
      entered = i + 1;
      if (long(i) == c.failAt) {
        try {
          (void)runner.Take(i);
          ADD_FAILURE() << "image " << i << " gave no error";
        } catch (const EInOutError& e) {
          EXPECT_STREQ(e.what(), "File not found");
        }
        break;
      }
      EXPECT_EQ(runner.Take(i), "r" + std::to_string(i * i));
    }
  }  // the runner stops its workers here
  EXPECT_EQ(beyond.load(), 0);
  EXPECT_LE(mostRunning.load(), std::max(1, int(c.threads)));
  const size_t last = c.failAt < 0 ? c.count : size_t(c.failAt) + 1;
  for (size_t i = 0; i < c.count; ++i) {
    EXPECT_LE(runs[i].load(), 1) << "image " << i;
    if (i < last) {
      EXPECT_EQ(runs[i].load(), 1) << "image " << i;
    }
    // After an error, nothing runs further than the look-ahead and the busy workers.
    if (c.failAt >= 0 && i >= last + c.ahead + c.threads) {
      EXPECT_EQ(runs[i].load(), 0) << "image " << i;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, BatchRunnerTest,
                         ::testing::Values(RunnerCase{0, 0, 1, -1}, RunnerCase{0, 7, 1, -1},
                                           RunnerCase{0, 7, 1, 3}, RunnerCase{1, 9, 1, -1},
                                           RunnerCase{1, 9, 2, 4}, RunnerCase{2, 1, 4, -1},
                                           RunnerCase{3, 40, 6, -1}, RunnerCase{8, 40, 16, -1},
                                           RunnerCase{8, 60, 16, 5}, RunnerCase{4, 30, 2, 0},
                                           RunnerCase{8, 3, 16, 2}, RunnerCase{16, 100, 32, 77}));

TEST(BatchRunner, ImagesAreTakenInOrderOnly) {
  for (unsigned threads : {0u, 2u}) {
    BatchRunner<int> runner(3, threads, 2, [](size_t i) { return int(i); });
    EXPECT_THROW((void)runner.Take(1), std::logic_error);
    EXPECT_EQ(runner.Take(0), 0);
    EXPECT_THROW((void)runner.Take(0), std::logic_error);
  }
}

// Memory for one image at a time but not for several: every job that runs while another
// runs fails for memory. The batch must come out whole, as on one thread; an image that
// one thread cannot hold either fails with the same error as there.
TEST(BatchRunner, RunningOutOfMemoryOnWorkersGoesOnOneImageAtATime) {
  for (const long tooBig : {-1L, 17L}) {
    for (unsigned threads : {2u, 8u}) {
      SCOPED_TRACE(std::to_string(threads) + " threads, too big: " + std::to_string(tooBig));
      std::atomic<int> running{0};
      std::vector<std::atomic<int>> answered(40);
      BatchRunner<size_t> runner(40, threads, 2 * threads, [&](size_t i) {
        const int now = ++running;
        std::this_thread::sleep_for(std::chrono::microseconds(300));
        --running;
        if (now > 1 || long(i) == tooBig) throw std::bad_alloc();
        ++answered[i];
        return 3 * i;
      });
      for (size_t i = 0; i < 40; ++i) {
        if (long(i) == tooBig) {
          EXPECT_THROW((void)runner.Take(i), std::bad_alloc);
          break;
        }
        ASSERT_EQ(runner.Take(i), 3 * i);
        EXPECT_EQ(answered[i].load(), 1);
      }
    }
  }
}

// ---- the window: workers against one thread ----

// Everything a run leaves behind that the user or a file can see.
struct RunOutcome {
  std::vector<QStringList> rows;
  QString caption;
  std::string error;  // type and text of the error that stopped the run
  QStringList messages;
  QByteArray vol;  // "temp.vol" after the homogeneity button
  bool operator==(const RunOutcome&) const = default;
};

std::ostream& operator<<(std::ostream& os, const RunOutcome& o) {
  for (const QStringList& r : o.rows) os << r.join('|').toStdString() << "\n";
  return os << o.caption.toStdString() << "\nerror: " << o.error
            << "\nmessages: " << o.messages.join('|').toStdString() << "\nvol " << o.vol.size()
            << " bytes\n";
}

class BatchWindowTest : public ResultsTest {
 protected:
  RunOutcome Run(const std::vector<std::string>& paths, uint8_t metodo, unsigned threads) {
    const ThreadsScope scope(threads);
    dialogs->messages.clear();
    QFile::remove(QString::fromStdString(TFormResultado::ArquivoVol()));
    RunOutcome out;
    TFormResultado* r = TFormResultado::CreateComPadrao(lista, Padrao());
    RegistroLimiares limiares;
    limiares.n = 1;
    limiares.lim[1] = 100;
    try {
      r->Analisar(paths, metodo, limiares, false);
    } catch (const EInOutError& e) {
      out.error = std::string("EInOutError: ") + e.what();
    } catch (const std::exception& e) {
      out.error = std::string("other: ") + e.what();
    }
    Settle();
    for (int i = 0; i < r->StringGridResultado->rowCount(); ++i)
      out.rows.push_back(Row(r->StringGridResultado, i));
    out.caption = r->Caption();
    r->SpeedBtnHomogeneidade->click();
    Settle();
    out.messages = dialogs->Texts();
    out.vol = folder.ReadFile("temp/temp.vol");
    for (auto* h : Janelas<TFormresultHomogeneidade>()) h->Release();
    r->Release();
    Settle();
    return out;
  }

  // A picture of `side` x `side` with a share of dark pixels set by `seed`.
  std::string Picture(const std::string& name, int side, int seed) const {
    const std::string path = Path("imagens/" + QString::fromStdString(name));
    SaveBmp(TwoLevels(side, side, (seed * 37) % (side * side), 10, 200), path);
    return path;
  }
};

TEST_F(BatchWindowTest, WorkersGiveTheOneThreadRunByteForByte) {
  std::vector<std::string> good;
  for (int v = 0; v < 16; ++v) good.push_back(Picture("p" + std::to_string(v) + ".bmp", 24 + v, v));
  const std::string missing = Path("imagens/falta.bmp");
  const std::string unknown = Path("imagens/foto.png");
  QFile::copy(QString::fromStdString(good[0]), QString::fromStdString(unknown));
  const std::string truncated = Path("imagens/cortada.bmp");
  QFile::copy(QString::fromStdString(good[5]), QString::fromStdString(truncated));
  QFile::resize(QString::fromStdString(truncated), 200);
  const std::string colour = Path("imagens/cor.bmp");
  {
    Bitmap c(8, 8, PixelFormat::pf24bit);
    SaveBmp(c, colour);
  }
  const std::string grey = Path("imagens/a.grey");
  {
    QFile f(QString::fromStdString(grey));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const std::string bytes = RawGrey(512 * 100, 10, 200);
    f.write(bytes.data(), qint64(bytes.size()));
  }
  auto with = [&](size_t at, const std::string& bad) {
    std::vector<std::string> v = good;
    v.insert(v.begin() + long(at), bad);
    return v;
  };
  std::vector<std::string> first4(good.begin(), good.begin() + 4);
  first4.push_back(grey);
  std::vector<std::string> mixed = good;
  mixed[3] = grey;
  std::vector<std::string> twoBad = with(3, truncated);
  twoBad.insert(twoBad.begin() + 10, missing);

  const struct {
    const char* name;
    std::vector<std::string> paths;
  } batches[] = {
      {"all good", good},
      {"four and a raw image", first4},
      {"a raw image among them", mixed},
      {"missing file in the middle", with(4, missing)},
      {"unknown extension in the middle", with(4, unknown)},
      {"truncated picture in the middle", with(9, truncated)},
      {"colour picture first", with(0, colour)},
      {"missing file last", with(16, missing)},
      {"two bad ones: the first stops", twoBad},
  };
  for (const auto& b : batches) {
    const std::vector<std::string>& paths = b.paths;
    for (uint8_t metodo :
         {TFormResultado::kSVD, TFormResultado::kGradiente, TFormResultado::kMaxDescida}) {
      SCOPED_TRACE(std::string(b.name) + ", method " + std::to_string(metodo));
      const RunOutcome one = Run(paths, metodo, 0);
      for (unsigned threads : {1u, 3u, 8u}) EXPECT_EQ(Run(paths, metodo, threads), one) << threads;
    }
  }
}

// The outcomes above are only worth comparing when the one-thread run is the run as it
// always was: the rows before the bad image, then its error.
TEST_F(BatchWindowTest, AnErrorInTheMiddleKeepsTheRowsBeforeIt) {
  std::vector<std::string> paths = Imagens(4);
  paths.insert(paths.begin() + 2, Path("imagens/falta.bmp"));
  for (unsigned threads : {0u, 8u}) {
    const RunOutcome o = Run(paths, TFormResultado::kSVD, threads);
    EXPECT_EQ(o.error, "EInOutError: File not found");
    ASSERT_EQ(o.rows.size(), 4u);
    EXPECT_EQ(o.rows[1][0], "img1.bmp");
    EXPECT_EQ(o.rows[2][0], "img2.bmp");
    EXPECT_EQ(o.rows[3][0], "Média");
  }
}

// A path in the list that is not a regular file (a named pipe with no writer, a device
// behind a link with a picture's name, a folder, a socket; also under the raw reader's
// extension) ends the run at once with the error naming what it is, on one thread or many:
// the rows before it stay, nothing waits for the pipe or reads the device on and on.
TEST_F(BatchWindowTest, APathThatIsNotAFileStopsTheRunAtItAtOnce) {
  // The program's readers, as main() registers them.
  RegisterTiffFormat();
  RegisterGifFormat();
  const std::vector<std::string> good = Imagens(4);
  const std::string pipe = Path("imagens/fila.bmp");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
  const std::string rawPipe = Path("imagens/fila.grey");
  ASSERT_EQ(::mkfifo(rawPipe.c_str(), 0644), 0);
  const std::string zeros = Path("imagens/zeros.bmp");
  ASSERT_EQ(::symlink("/dev/zero", zeros.c_str()), 0);
  const std::string null = Path("imagens/nada.tif");
  ASSERT_EQ(::symlink("/dev/null", null.c_str()), 0);
  const std::string folder = Path("imagens/pasta.tif");
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder)));
  const std::string socketPath = Path("imagens/tomada.gif");
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(socketPath.size(), sizeof address.sun_path);
  std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

  const struct {
    std::string path, kind;
  } cases[] = {{pipe, "a named pipe"}, {rawPipe, "a named pipe"}, {zeros, "a device"},
               {null, "a device"},     {folder, "a folder"},      {socketPath, "a socket"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    std::vector<std::string> paths = good;
    paths.insert(paths.begin() + 2, c.path);
    for (unsigned threads : {0u, 4u}) {
      const RunOutcome o = Run(paths, TFormResultado::kSVD, threads);
      EXPECT_EQ(o.error, "EInOutError: Cannot open file \"" + c.path + "\". It is " + c.kind +
                             ", not a file");
      ASSERT_EQ(o.rows.size(), 4u);
      EXPECT_EQ(o.rows[1][0], "img1.bmp");
      EXPECT_EQ(o.rows[2][0], "img2.bmp");
      EXPECT_EQ(o.rows[3][0], "Média");
    }
  }
  ::close(sock);
  UnregisterTiffFormat();
  UnregisterGifFormat();
}

// ---- what the user sees during a run ----

struct Glimpse {
  QString title, text;
  bool modal = false, busy = false;
};

TEST_F(BatchWindowTest, ARunShowsABusyCursorAndAModalWindowNamingEachImage) {
  const std::vector<std::string> paths = Imagens(6);
  // Every image lets the window system in, so that the spy below sees each one.
  const int intervalo = std::exchange(RunProgress::Intervalo, 0);
  for (unsigned threads : {0u, 4u}) {
    SCOPED_TRACE(threads);
    const ThreadsScope scope(threads);
    std::vector<Glimpse> seen;
    QTimer spy;
    spy.setInterval(0);
    QObject::connect(&spy, &QTimer::timeout, [&] {
      Glimpse g;
      if (auto* w = qobject_cast<RunProgress*>(QApplication::activeModalWidget())) {
        g.title = w->windowTitle();
        g.text = w->Texto->text();
        g.modal = w->isVisible() && w->windowModality() == Qt::ApplicationModal;
      }
      g.busy = QApplication::overrideCursor() &&
               QApplication::overrideCursor()->shape() == Qt::WaitCursor;
      seen.push_back(g);
    });
    spy.start();
    TFormResultado* r = TFormResultado::CreateComPadrao(lista, Padrao());
    r->Analisar(paths, TFormResultado::kSVD, {}, false);
    spy.stop();
    ASSERT_FALSE(seen.empty()) << "the run never let the window system in";
    // Every glimpse during the run: the busy cursor and the modal window, which names
    // the images in list order.
    int last = -1;
    for (const Glimpse& g : seen) {
      EXPECT_TRUE(g.busy);
      EXPECT_TRUE(g.modal);
      EXPECT_EQ(g.title, "Resultado da Análise");
      int found = -1;
      for (int i = 0; i < 6; ++i)
        if (g.text == QString("Analisando a imagem %1 de 6: img%1.bmp").arg(i + 1)) found = i;
      EXPECT_GE(found, last) << g.text.toStdString();
      last = std::max(last, found);
    }
    EXPECT_EQ(last, 5);
    // Afterwards: no cursor of ours, no window left.
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(Row(r->StringGridResultado, 6)[0], "img6.bmp");
  }
  RunProgress::Intervalo = intervalo;
}

TEST_F(BatchWindowTest, ARunThatFailsTakesItsCursorAndWindowAway) {
  std::vector<std::string> paths = Imagens(3);
  paths.insert(paths.begin() + 1, Path("imagens/falta.bmp"));
  for (unsigned threads : {0u, 4u}) {
    const ThreadsScope scope(threads);
    TFormResultado* r = TFormResultado::CreateComPadrao(lista, Padrao());
    EXPECT_THROW(r->Analisar(paths, TFormResultado::kSVD, {}, false), EInOutError);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    Settle();
    for (QWidget* w : QApplication::topLevelWidgets())
      EXPECT_FALSE(qobject_cast<RunProgress*>(w) && w->isVisible());
  }
}

// A click that reaches the program while a run is going on (queued by the window system,
// as the user clicks "Analisar" again) is refused: it does not start a second run after the
// first one, whether it comes as the run starts or as its last image is analysed.
TEST_F(BatchWindowTest, ClicksMadeDuringARunDoNotRunAfterIt) {
  EncherLista(Imagens(4));
  Settle();
  // The list window in plain view, so that a click at the button lands on it.
  principal->resize(1200, 900);
  if (QMdiSubWindow* sub = lista->SubWindow()) sub->move(0, 0);
  Settle();
  QWidget* top = lista->BAnalisar->window();
  QWindow* handle = top->windowHandle();
  ASSERT_NE(handle, nullptr);
  const QPointF at = lista->BAnalisar->mapTo(top, lista->BAnalisar->rect().center());
  const QPointF global = top->mapToGlobal(at);
  auto click = [&] {
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
      QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
          handle, at, global, type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
          Qt::LeftButton, type);
  };
  const int intervalo = std::exchange(RunProgress::Intervalo, 0);
  for (const bool late : {false, true}) {
    SCOPED_TRACE(late ? "at the last image" : "as the run starts");
    for (auto* r : Janelas<TFormResultado>()) r->Release();
    Settle();
    QTimer spy;
    spy.setInterval(0);
    bool clicked = false;
    if (late) {
      QObject::connect(&spy, &QTimer::timeout, [&] {
        auto* w = qobject_cast<RunProgress*>(QApplication::activeModalWidget());
        if (!clicked && w && w->Texto->text().startsWith("Analisando a imagem 4 de 4")) {
          click();
          clicked = true;
        }
      });
      spy.start();
    } else {
      click();
    }
    lista->BAnalisar->click();
    spy.stop();
    Settle();
    if (late) {
      EXPECT_TRUE(clicked);
    }
    EXPECT_EQ(Janelas<TFormResultado>().size(), 1u);
  }
  RunProgress::Intervalo = intervalo;

  // The same click with no run going on does reach the button: the test's click is real.
  click();
  Settle();
  EXPECT_EQ(Janelas<TFormResultado>().size(), 2u);
}

TEST(RunProgressLayout, TextsKeepToTheWindow) {
  const QString longo = QString(120, 'x') + ".tif";
  for (const QString& name : {QString("a.bmp"), QString("amostra_de_aco_0001.tif"), longo}) {
    RunProgress p(nullptr, "Resultado da Análise - SVD", 256);
    p.Imagem(254, name);
    const QRect area = p.rect();
    for (QWidget* w : {static_cast<QWidget*>(p.Texto), static_cast<QWidget*>(p.Barra)})
      EXPECT_TRUE(area.contains(w->geometry())) << w->objectName().toStdString();
    EXPECT_LE(p.Texto->fontMetrics().horizontalAdvance(p.Texto->text()),
              p.Texto->contentsRect().width())
        << p.Texto->text().toStdString();
    const QString whole = RunProgress::TextoDaImagem(254, 256, name);
    EXPECT_EQ(p.Texto->toolTip(), whole);
    if (name != longo) {
      EXPECT_EQ(p.Texto->text(), whole);
    }
    EXPECT_EQ(p.Barra->value(), 254);
  }
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace vandrel::testing
