// The ".als" and ".pcs" files: round trips, the bytes on disk, damaged and hostile files,
// failed writes, and the name rule of the save commands.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "app/thresholds/model/ThresholdFiles.h"
#include "platform/Errors.h"
#include "tests/support/FileSizeLimit.h"

namespace vandrel {
namespace {

class FilesTest : public ::testing::Test {
 protected:
  std::string Path(const char* name) const { return (dir.path() + "/" + name).toStdString(); }
  void Write(const std::string& path, const std::vector<uint8_t>& bytes) const {
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
  }
  std::vector<uint8_t> Read(const std::string& path) const {
    QFile f(QString::fromStdString(path));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray b = f.readAll();
    return {b.begin(), b.end()};
  }
  template <class F>
  static std::string ErrorOf(F f) {
    try {
      f();
    } catch (const Exception& e) {
      return e.what();
    }
    return "(no error)";
  }

  QTemporaryDir dir;
};

RegistroLimiares Registro() {
  RegistroLimiares r;
  r.n = 3;
  r.lim = {0, 40, 90, 200, 17, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255};
  return r;
}

TEST_F(FilesTest, ThresholdRecordRoundTripsThroughItsEighteenBytes) {
  const std::string path = Path("limiares1.als");
  GravarArquivoLimiares(path, Registro());
  // The count, then lim[0..16], nothing else; the stale byte after the count is kept.
  EXPECT_EQ(Read(path),
            (std::vector<uint8_t>{3, 0, 40, 90, 200, 17, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255}));
  EXPECT_EQ(LerArquivoLimiares(path), Registro());
}

TEST_F(FilesTest, PaletteRoundTripsThroughItsFortyEightBytes) {
  const std::string path = Path("paleta1.pcs");
  PaletaFases p = PaletaPadrao();
  p[3] = {1, 2, 3};
  GravarArquivoPaleta(path, p);
  const std::vector<uint8_t> bytes = Read(path);
  ASSERT_EQ(bytes.size(), 48u);
  // Phase 2 is red: blue, green, red.
  EXPECT_EQ(bytes[6], 0x00);
  EXPECT_EQ(bytes[7], 0x00);
  EXPECT_EQ(bytes[8], 0xFF);
  EXPECT_EQ(bytes[9], 1);
  EXPECT_EQ(bytes[11], 3);
  EXPECT_EQ(LerArquivoPaleta(path), p);
}

TEST_F(FilesTest, LongerFilesAreReadForTheirFirstRecord) {
  std::vector<uint8_t> als = {2, 0, 10, 20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255};
  als.resize(als.size() + 1000, 0xEE);
  Write(Path("long.als"), als);
  const RegistroLimiares r = LerArquivoLimiares(Path("long.als"));
  EXPECT_EQ(r.n, 2);
  EXPECT_EQ(r.lim[2], 20);
  EXPECT_EQ(r.lim[16], 255);

  std::vector<uint8_t> pcs(60);
  for (size_t i = 0; i < pcs.size(); ++i) pcs[i] = uint8_t(i);
  Write(Path("long.pcs"), pcs);
  const PaletaFases p = LerArquivoPaleta(Path("long.pcs"));
  EXPECT_EQ(p[15], (TriploCor{45, 46, 47}));
}

TEST_F(FilesTest, ShortFilesReadBeyondTheirEnd) {
  for (size_t size = 0; size < 18; ++size) {
    std::vector<uint8_t> bytes(size, 0);
    if (size > 0) bytes[0] = 1;
    Write(Path("short.als"), bytes);
    EXPECT_EQ(ErrorOf([&] { LerArquivoLimiares(Path("short.als")); }), "Read beyond end of file")
        << size;
  }
  for (size_t size : {0, 1, 3, 47}) {
    Write(Path("short.pcs"), std::vector<uint8_t>(size, 9));
    EXPECT_EQ(ErrorOf([&] { LerArquivoPaleta(Path("short.pcs")); }), "Read beyond end of file")
        << size;
  }
}

TEST_F(FilesTest, MissingFilesAreNotFound) {
  EXPECT_EQ(ErrorOf([&] { LerArquivoLimiares(Path("none.als")); }), "File not found");
  EXPECT_EQ(ErrorOf([&] { LerArquivoPaleta(Path("none.pcs")); }), "File not found");
}

TEST_F(FilesTest, RecordsThisProgramCouldNotHaveWrittenAreRefused) {
  struct Case {
    const char* what;
    uint8_t n, lim0, lim16;
  };
  for (const Case& c :
       {Case{"count 0", 0, 0, 255}, Case{"count 16", 16, 0, 255}, Case{"count 255", 255, 0, 255},
        Case{"lim[0] not 0", 2, 1, 255}, Case{"lim[16] not 255", 2, 0, 254}}) {
    std::vector<uint8_t> bytes(18, 0);
    bytes[0] = c.n;
    bytes[1] = c.lim0;
    bytes[2] = 10;
    bytes[3] = 20;
    bytes[17] = c.lim16;
    Write(Path("bad.als"), bytes);
    EXPECT_EQ(ErrorOf([&] { LerArquivoLimiares(Path("bad.als")); }),
              "O arquivo " + Path("bad.als") + " não é um arquivo de limiares válido")
        << c.what;
  }
  // Fifteen thresholds, in any order, are taken: the window sorts them.
  std::vector<uint8_t> bytes = {15, 0, 200, 10, 30, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 255};
  Write(Path("fifteen.als"), bytes);
  EXPECT_EQ(LerArquivoLimiares(Path("fifteen.als")).n, 15);
}

TEST_F(FilesTest, AFailedWriteLeavesTheOldFile) {
  const std::string als = Path("old.als"), pcs = Path("old.pcs");
  GravarArquivoLimiares(als, Registro());
  GravarArquivoPaleta(pcs, PaletaPadrao());
  RegistroLimiares outro = Registro();
  outro.n = 1;
  PaletaFases outra{};
  {
    testing::FileSizeLimit full(4);  // a nearly full disk
    EXPECT_THROW(GravarArquivoLimiares(als, outro), EInOutError);
    EXPECT_THROW(GravarArquivoPaleta(pcs, outra), EInOutError);
  }
  EXPECT_EQ(LerArquivoLimiares(als), Registro());
  EXPECT_EQ(LerArquivoPaleta(pcs), PaletaPadrao());
  // And a folder that does not exist.
  EXPECT_THROW(GravarArquivoLimiares(Path("no/such/x.als"), outro), EInOutError);
}

TEST(ComExtensaoTest, AppendsUnlessTheExtensionIsExactlyIt) {
  struct Case {
    const char *name, *ext, *out;
  };
  for (const Case& c : {
           Case{"limiares1", ".als", "limiares1.als"},
           Case{"limiares1.als", ".als", "limiares1.als"},
           Case{"a.ALS", ".als", "a.ALS.als"},
           Case{"a.als.txt", ".als", "a.als.txt.als"},
           Case{"/saves/x.y/limiares", ".als", "/saves/x.y/limiares.als"},
           Case{"/saves/x.als/limiares", ".als", "/saves/x.als/limiares.als"},
           Case{"paleta1", ".pcs", "paleta1.pcs"},
           Case{"paleta1.pcs", ".pcs", "paleta1.pcs"},
           Case{"paleta1.als", ".pcs", "paleta1.als.pcs"},
           Case{"a.alsx", ".als", "a.alsx.als"},
       })
    EXPECT_EQ(ComExtensao(c.name, c.ext), c.out) << c.name;
}

TEST(OrdenarLimiaresTest, SortsOnlyTheCountedThresholds) {
  struct Case {
    int n;
    Limiares in, out;
  };
  const Case cases[] = {
      {3,
       {0, 200, 10, 90, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255},
       {0, 10, 90, 200, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255}},
      {1,
       {0, 99, 3, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255},
       {0, 99, 3, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255}},
      {15,
       {0, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 255},
       {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 255}},
      {2,
       {0, 50, 50, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255},
       {0, 50, 50, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255}},
      // A count beyond the record is held to 15: lim[16] stays 255.
      {99,
       {0, 255, 254, 253, 252, 251, 250, 249, 248, 247, 246, 245, 244, 243, 242, 241, 7},
       {0, 241, 242, 243, 244, 245, 246, 247, 248, 249, 250, 251, 252, 253, 254, 255, 7}},
  };
  for (const Case& c : cases) {
    Limiares lim = c.in;
    OrdenarLimiares(lim, c.n);
    EXPECT_EQ(lim, c.out) << c.n;
  }
}

TEST(RegistroDosBytesTest, DecodesWithoutChecksAndRefusesShortInput) {
  const std::vector<uint8_t> b = {0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  const RegistroLimiares r = RegistroDosBytes(b);
  EXPECT_EQ(r.n, 0);
  EXPECT_EQ(r.lim[16], 16);
  EXPECT_FALSE(RegistroValido(r));
  EXPECT_EQ(BytesDoRegistro(r)[17], 16);
  EXPECT_THROW(RegistroDosBytes(std::span(b).first(17)), EInOutError);
}

}  // namespace
}  // namespace vandrel
