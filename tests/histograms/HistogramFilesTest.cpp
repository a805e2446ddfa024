// The histogram control's files: ".his", the pattern set, the overlay's values file, image
// lists and images, with the runtime's reading rules and byte-exact output.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <vector>

#include "HistogramTestUtil.h"
#include "app/histograms/model/HistogramData.h"
#include "app/histograms/model/HistogramFiles.h"
#include "app/settings/model/URecursos.h"

namespace vandrel {
namespace {

using testing::CurrentFolder;
using testing::DataFile;
using testing::ErrorText;
using testing::Falling;
using testing::Filled;
using testing::GreyBitmap;
using testing::Ramp;
using testing::TempDir;

class HistogramFilesTest : public ::testing::Test {
 protected:
  HistogramFilesTest() : here_(folder.path().string()) {
    testing::RegisterTestPictures();
    d.Aviso = [this](const std::string& text) { messages.push_back(text); };
  }
  std::string Write(const std::string& name, const std::string& bytes) {
    return folder.write(name, bytes);
  }
  std::string Picture(const std::string& name, const Bitmap& b) {
    const std::string path = folder / name;
    testing::WriteTestPicture(path, b);
    return path;
  }
  // Two curves named as in the expected pattern files.
  void TwoCurves() {
    d.DefinirValores(Ramp());
    d.DefinirSobreposicao(true);
    d.DefinirNome(0, "ferrita");
    d.AdicionarValores(Falling());
    d.DefinirNome(1, "/x/perlita.his");
  }
  static void ExpectNear(const GreyHistogram& a, const GreyHistogram& b) {
    for (int g = 0; g < 256; ++g) EXPECT_NEAR(a[g], b[g], 1e-15) << g;
  }

  TempDir folder;
  CurrentFolder here_;  // "linha.tmp" goes to the throw-away folder
  HistogramData d;
  std::vector<std::string> messages;
};

// ---- names ----

TEST(FileNames, CurveNameExtensionAndBase) {
  const struct {
    const char *path, *curve, *ext, *base;
  } cases[] = {
      {"/a/b/ferrita.his", "ferrita", ".his", "/a/b/ferrita"},
      {"ferrita.his", "ferrita", ".his", "ferrita"},
      {"/a.b/c", "c", "", "/a.b/c"},
      {"/a/b.tar.gz", "b.tar", ".gz", "/a/b.tar"},
      {"/a/.his", "", ".his", "/a/"},
      {"/a/A.HIS", "A", ".HIS", "/a/A"},
      {"", "", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(CurveName(c.path), c.curve);
    EXPECT_EQ(FileExtension(c.path), c.ext);
    EXPECT_EQ(WithoutExtension(c.path), c.base);
  }
}

// ---- ".his" ----

TEST_F(HistogramFilesTest, SavedHisIsByteExact) {
  d.DefinirValores(Filled(1.0 / 256));
  const std::string f = folder / "u.his";
  d.SalvarArquivo(f);
  const std::string bytes = TempDir::read(f);
  EXPECT_EQ(bytes, TempDir::read(DataFile("uniform.his")));
  EXPECT_NE(bytes.find("\r\n5 3.90625000000000E-0003\r\n"), std::string::npos);

  d.DefinirValores(Ramp());
  d.SalvarArquivo(f);
  EXPECT_EQ(TempDir::read(f), TempDir::read(DataFile("ramp.his")));
}

TEST_F(HistogramFilesTest, HisRoundTrip) {
  d.CarregarHis(DataFile("ramp.his"));
  ExpectNear(d.Valores(), Ramp());
  d.SalvarArquivo(folder / "again.his");
  EXPECT_EQ(TempDir::read(folder / "again.his"), TempDir::read(DataFile("ramp.his")));
}

TEST_F(HistogramFilesTest, NegativeValuesStaySeparateFields) {
  GreyHistogram h = Ramp();
  h[5] = -0.25;
  d.DefinirValores(h);
  d.SalvarArquivo(folder / "n.his");
  EXPECT_NE(TempDir::read(folder / "n.his").find("\r\n5 -2.50000000000000E-0001\r\n"),
            std::string::npos);
  d.Limpar();
  d.CarregarHis(folder / "n.his");
  ExpectNear(d.Valores(), h);

  d.AdicionarValores(h);
  d.AdicionarValores(h);
  d.SalvarArquivo(folder / "n.pat");
  d.CarregarPadrao(folder / "n.pat");
  ASSERT_EQ(d.Histogramas().size(), 2u);
  ExpectNear(d.Histogramas()[1].Valores, h);
}

TEST_F(HistogramFilesTest, ExtremeValuesReadBackFromHisAndPattern) {
  // The largest double is written with its 15 digits rounded up, past the double range.
  GreyHistogram h = Ramp();
  h[0] = std::numeric_limits<double>::max();
  h[1] = -std::numeric_limits<double>::max();
  h[2] = std::numeric_limits<double>::denorm_min();
  h[3] = -0.0;
  d.DefinirValores(h);
  d.SalvarArquivo(folder / "x.his");
  EXPECT_NE(TempDir::read(folder / "x.his").find("0 1.79769313486232E+0308\r\n"),
            std::string::npos);
  d.Limpar();
  d.CarregarHis(folder / "x.his");
  EXPECT_EQ(d.Valores()[0], h[0]);
  EXPECT_EQ(d.Valores()[1], h[1]);
  EXPECT_EQ(d.Valores()[2], h[2]);
  ExpectNear(d.Valores(), h);

  // A file written with the largest double before it read back.
  d.CarregarHis(DataFile("largest-double.his"));
  EXPECT_EQ(d.Valores()[0], std::numeric_limits<double>::max());
  EXPECT_EQ(d.Valores()[1], -std::numeric_limits<double>::max());
  EXPECT_EQ(d.Valores()[2], std::numeric_limits<double>::denorm_min());

  d.AdicionarValores(h);
  d.SalvarPadrao(folder / "x.pat");
  d.Limpar();
  d.CarregarPadrao(folder / "x.pat");
  ASSERT_EQ(d.Histogramas().size(), 1u);
  EXPECT_EQ(d.Histogramas()[0].Valores[0], h[0]);
  EXPECT_EQ(d.Histogramas()[0].Valores[1], h[1]);
}

struct HisCase {
  const char* name;
  std::string text;
  std::vector<std::pair<int, double>> values;  // the non-zero ones
};

TEST_F(HistogramFilesTest, HisReadingRules) {
  std::string full, blankLines, longFile, anyLevels, trailing;
  for (int g = 0; g < 256; ++g) {
    full += std::to_string(g) + " " + std::to_string(g + 1) + "\r\n";
    blankLines += std::to_string(g) + " " + std::to_string(g + 1) + "\r\n\r\n  \t\n";
    anyLevels += std::to_string(g * 1000 - 7) + "\t" + std::to_string(g + 1) + "\n";
    trailing += std::to_string(g) + " " + std::to_string(g + 1) + " 99 extra words\r\n";
  }
  longFile = full;
  for (int g = 256; g < 300; ++g) longFile += std::to_string(g) + " 5\r\n";
  std::vector<std::pair<int, double>> all;
  for (int g = 0; g < 256; ++g) all.push_back({g, g + 1.0});
  const HisCase cases[] = {
      {"full", full, all},
      {"blank lines between records", blankLines, all},
      {"300 lines", longFile, all},
      {"any integers in the first column", anyLevels, all},
      {"text after the value", trailing, all},
      {"short file", "0 0.5\r\n1 0.25\r\n2", {{0, 0.5}, {1, 0.25}}},
      {"empty file", "", {}},
      {"ctrl-z ends the file",
       "0 1\r\n1 2\r\n\x1a"
       "2 3\r\n",
       {{0, 1.0}, {1, 2.0}}},
      {"last line without line end", "0 1\r\n1 2", {{0, 1.0}, {1, 2.0}}},
  };
  for (const HisCase& c : cases) {
    SCOPED_TRACE(c.name);
    GreyHistogram expected{};
    for (auto [g, v] : c.values) expected[g] = v;
    d.CarregarHis(Write("case.his", c.text));
    EXPECT_EQ(d.Valores(), expected);
  }
}

TEST_F(HistogramFilesTest, BadTokensInHisAreInvalidInputAndApplyNothing) {
  const char* bad[] = {"0 0.5\r\n1 abc\r\n", "0 0.5\r\n1.5 0.25\r\n", "x 0.5\r\n", "0 0,5\r\n"};
  for (const char* text : bad) {
    SCOPED_TRACE(text);
    d.DefinirValores(Ramp());
    d.AdicionarValores(Falling());  // overlay mode
    EXPECT_EQ(ErrorText([&] { d.CarregarHis(Write("bad.his", text)); }), "Invalid numeric input");
    EXPECT_FALSE(d.Sobreposicao());  // left overlay mode before reading
    EXPECT_EQ(d.Valores(), Ramp());  // values read are not applied
  }
}

TEST_F(HistogramFilesTest, MissingFilesRaiseTheRuntimeErrors) {
  d.AdicionarValores(Ramp());
  EXPECT_EQ(ErrorText([&] { d.CarregarHis(folder / "none.his"); }), "File not found");
  EXPECT_FALSE(d.Sobreposicao());
  EXPECT_EQ(ErrorText([&] { d.SobreporHis(folder / "none.his"); }), "File not found");
  EXPECT_EQ(ErrorText([&] { d.CarregarLista(folder / "none.lst"); }), "File not found");
  EXPECT_EQ(ErrorText([&] { d.SobreporLista(folder / "none.lst"); }), "File not found");
  EXPECT_EQ(ErrorText([&] { d.CarregarPadrao(folder / "none.pat"); }), "File not found");
  EXPECT_EQ(ErrorText([&] { d.SobreporPadrao(folder / "none.pat"); }), "File not found");
  EXPECT_EQ(ErrorText([&] { d.SalvarArquivo(folder / "no/folder.his"); }), "Invalid filename");
  EXPECT_EQ(ErrorText([&] { d.CarregarHis(folder.path().string()); }),
            "Cannot open file \"" + folder.path().string() + "\". It is a folder, not a file");
}

TEST_F(HistogramFilesTest, SobreporHisAppendsANamedCurve) {
  d.AdicionarValores(Ramp());
  d.AdicionarValores(Ramp());
  d.SobreporHis(DataFile("uniform.his"));
  ASSERT_EQ(d.Histogramas().size(), 3u);
  EXPECT_EQ(d.Histogramas()[2].Nome, "uniform");
  EXPECT_EQ(d.Histogramas()[2].Cor, CorDaFase(2));
  EXPECT_EQ(d.Histogramas()[2].Espessura, 1);
  EXPECT_EQ(d.Histogramas()[2].Valores, Filled(1.0 / 256));
}

// ---- dispatch by extension ----

TEST_F(HistogramFilesTest, CarregarArquivoComparesTheExtensionExactly) {
  const std::string upper = Write("A.HIS", TempDir::read(DataFile("uniform.his")));
  EXPECT_EQ(ErrorText([&] { d.CarregarArquivo(upper); }), "Unknown picture file extension (.HIS)");
  d.CarregarArquivo(DataFile("uniform.his"));
  EXPECT_EQ(d.Valores(), Filled(1.0 / 256));
  const std::string picture = Picture("p.vtst", GreyBitmap(2, 2, [](int, int) { return 7; }));
  d.CarregarArquivo(picture);
  EXPECT_EQ(d.Valores()[7], 1.0);
}

TEST_F(HistogramFilesTest, AdicionarArquivoInSingleMode) {
  d.AdicionarArquivo(DataFile("uniform.his"));
  ASSERT_TRUE(d.Sobreposicao());
  ASSERT_EQ(d.Histogramas().size(), 1u);
  EXPECT_EQ(d.Histogramas()[0].Nome, "uniform");
  EXPECT_EQ(d.Histogramas()[0].Valores, Filled(1.0 / 256));

  d.Limpar();
  const std::string picture = Picture("img.vtst", GreyBitmap(2, 1, [](int x, int) { return x; }));
  d.AdicionarArquivo(picture);
  ASSERT_EQ(d.Histogramas().size(), 1u);
  EXPECT_EQ(d.Histogramas()[0].Nome, "img");
  EXPECT_EQ(d.Histogramas()[0].Valores[1], 0.5);

  // A pattern loaded this way already is the overlay list; its names stay.
  d.Limpar();
  d.AdicionarArquivo(DataFile("two.pat"));
  ASSERT_EQ(d.Histogramas().size(), 2u);
  EXPECT_EQ(d.Histogramas()[0].Nome, "ferrita");
}

TEST_F(HistogramFilesTest, AdicionarArquivoInOverlayModeAddsByExtension) {
  d.AdicionarValores(Ramp());
  d.AdicionarArquivo(DataFile("uniform.his"));
  d.AdicionarArquivo(DataFile("two.pat"));
  d.AdicionarArquivo(Picture("i.vtst", GreyBitmap(1, 1, [](int, int) { return 3; })));
  const std::string list = Write("l.lst", "1\r\n" + (folder / "i.vtst") + "\r\n");
  d.AdicionarArquivo(list);
  ASSERT_EQ(d.Histogramas().size(), 6u);
  const char* names[] = {"", "uniform", "ferrita", "perlita", "i", "i"};
  for (size_t k = 0; k < 6; ++k) {
    EXPECT_EQ(d.Histogramas()[k].Nome, names[k]) << k;
    EXPECT_EQ(d.Histogramas()[k].Cor, CorDaFase(uint8_t(k))) << k;
  }
}

// ---- pattern files ----

TEST_F(HistogramFilesTest, SavedPatternIsByteExact) {
  TwoCurves();
  d.SalvarPadrao(folder / "two.pat");
  for (const char* ext : {".pac", ".pat", ".err"}) {
    SCOPED_TRACE(ext);
    EXPECT_EQ(TempDir::read(folder / (std::string("two") + ext)),
              TempDir::read(DataFile(std::string("two") + ext)));
  }
  // Any extension is replaced; a name without one gets the three.
  d.SalvarPadrao(folder / "other.xyz");
  d.SalvarPadrao(folder / "bare");
  for (const char* name : {"other", "bare"})
    EXPECT_EQ(TempDir::read(folder / (std::string(name) + ".pat")),
              TempDir::read(DataFile("two.pat")));
}

TEST_F(HistogramFilesTest, SalvarArquivoInOverlayWritesTheColumnsFile) {
  TwoCurves();
  d.SalvarArquivo(folder / "cols.txt");
  EXPECT_EQ(TempDir::read(folder / "cols.txt"), TempDir::read(DataFile("two-columns.txt")));
  // It reads as a pattern with one column per curve.
  d.CarregarPadrao(folder / "cols.txt");
  ASSERT_EQ(d.Histogramas().size(), 2u);
  ExpectNear(d.Histogramas()[0].Valores, Ramp());
  ExpectNear(d.Histogramas()[1].Valores, Falling());
}

TEST_F(HistogramFilesTest, PatternRoundTrip) {
  TwoCurves();
  d.SalvarPadrao(folder / "rt.pat");
  d.Limpar();
  d.CarregarPadrao(folder / "rt.pat");
  ASSERT_TRUE(d.Sobreposicao());
  ASSERT_EQ(d.Histogramas().size(), 2u);
  ExpectNear(d.Histogramas()[0].Valores, Ramp());
  ExpectNear(d.Histogramas()[1].Valores, Falling());
  EXPECT_EQ(d.Histogramas()[0].Nome, "ferrita");
  EXPECT_EQ(d.Histogramas()[1].Nome, "/x/perlita.his");  // the ".pac" line as it stands
  d.SalvarPadrao(folder / "rt2.pat");
  for (const char* ext : {".pac", ".pat", ".err"})
    EXPECT_EQ(TempDir::read(folder / (std::string("rt2") + ext)),
              TempDir::read(DataFile(std::string("two") + ext)));
}

TEST_F(HistogramFilesTest, CarregarPadraoWithoutPacNamesThePhases) {
  const std::string pat = Write("p.pat", "  0.1 0.2 0.3  \t\r\n0.4 0.5 0.6\r\n");
  d.CarregarPadrao(pat);
  ASSERT_EQ(d.Histogramas().size(), 3u);
  const int32_t colours[] = {0xFF0000, 0x0000FF, 0x000000};
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(d.Histogramas()[size_t(k)].Nome, "fase#" + std::to_string(k));
    EXPECT_EQ(d.Histogramas()[size_t(k)].Cor, colours[k]);
    EXPECT_EQ(d.Histogramas()[size_t(k)].Espessura, 1);
  }
  EXPECT_EQ(d.Histogramas()[2].Valores[0], 0.3);
  EXPECT_EQ(d.Histogramas()[0].Valores[1], 0.4);
  EXPECT_EQ(d.Histogramas()[0].Valores[2], 0.0);  // short file
  // The first line, trimmed and without a line end, stays in the current folder.
  EXPECT_EQ(TempDir::read(folder / "linha.tmp"), "  0.1 0.2 0.3");
}

// Where the current folder cannot be written, "linha.tmp" goes to the program's "temp"
// folder and the pattern opens: a folder of the system that nobody may write (even root),
// a folder deleted while it is current, and a read-only folder (not for root, who writes
// there all the same).
TEST_F(HistogramFilesTest, CarregarPadraoFallsBackToTheProgramsTempFolder) {
  TempDir programa;
  std::filesystem::create_directory(programa.path() / "temp");
  DefinirPastaPrograma(programa.path().string());
  const std::string pat = Write("p.pat", "0.5 0.25\r\n0.125 1\r\n");
  std::filesystem::create_directory(folder / "apagada");
  std::filesystem::create_directory(folder / "somente-leitura");
  struct Case {
    const char* name;
    std::string current;
    bool remove;
  };
  std::vector<Case> cases = {{"system folder", "/proc", false},
                             {"deleted", folder / "apagada", true}};
  if (geteuid() != 0) {
    chmod((folder / "somente-leitura").c_str(), 0555);
    cases.push_back({"read-only", folder / "somente-leitura", false});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(programa / "temp/linha.tmp");
    CurrentFolder there(c.current);
    if (c.remove) std::filesystem::remove(c.current);
    EXPECT_EQ(ErrorText([&] { d.CarregarPadrao(pat); }), "(no error)");
    ASSERT_EQ(d.Histogramas().size(), 2u);
    EXPECT_EQ(d.Histogramas()[1].Valores[0], 0.25);
    EXPECT_EQ(d.Histogramas()[1].Valores[1], 1.0);
    EXPECT_EQ(TempDir::read(programa / "temp/linha.tmp"), "0.5 0.25");
  }
  DefinirPastaPrograma("");
}

TEST_F(HistogramFilesTest, CarregarPadraoReadsValuesAsAStream) {
  // Line 1 has two of three numbers: the third comes from line 2, whose rest is skipped.
  Write("s.pac", "3\r\na\r\nb\r\n");
  const std::string pat = Write("s.pat", "1 2 3\r\n4 5\r\n6 7 8\r\n9 10 11\r\n");
  d.CarregarPadrao(pat);
  ASSERT_EQ(d.Histogramas().size(), 3u);
  EXPECT_EQ(d.Histogramas()[0].Valores[1], 4.0);
  EXPECT_EQ(d.Histogramas()[1].Valores[1], 5.0);
  EXPECT_EQ(d.Histogramas()[2].Valores[1], 6.0);
  EXPECT_EQ(d.Histogramas()[0].Valores[2], 9.0);
  EXPECT_EQ(d.Histogramas()[0].Valores[3], 0.0);
  // ".pac" lines as they stand; missing lines give empty names.
  EXPECT_EQ(d.Histogramas()[0].Nome, "a");
  EXPECT_EQ(d.Histogramas()[1].Nome, "b");
  EXPECT_EQ(d.Histogramas()[2].Nome, "");
}

TEST_F(HistogramFilesTest, CarregarPadraoBadTokensApplyNothing) {
  d.DefinirValores(Ramp());
  EXPECT_EQ(ErrorText([&] { d.CarregarPadrao(Write("b.pat", "0.1 x 0.3\r\n")); }),
            "Invalid numeric input");
  EXPECT_EQ(ErrorText([&] { d.CarregarPadrao(Write("b.pat", "0.1 0.2\r\n0.3 0.4\r\n5 y\r\n")); }),
            "Invalid numeric input");
  // Overlay mode was entered first, with the single histogram as its only curve.
  EXPECT_TRUE(d.Sobreposicao());
  ASSERT_EQ(d.Histogramas().size(), 1u);
  EXPECT_EQ(d.Histogramas()[0].Valores, Ramp());
}

TEST_F(HistogramFilesTest, AnAbsurdColumnCountIsRefusedWithoutAllocating) {
  // 200000 columns (a list of 400 MB) on the first line of a file far too small to hold
  // 256 lines of them.
  std::string line;
  for (int i = 0; i < 200000; ++i) line += "0 ";
  const std::string pat = Write("huge.pat", line + "\r\n");
  const std::string message = ErrorText([&] { d.CarregarPadrao(pat); });
  EXPECT_NE(message.find("colunas demais"), std::string::npos) << message;
  EXPECT_EQ(d.Histogramas().size(), 1u);

  // The same through a ".pac" count.
  Write("big.pac", "2000000000\r\n");
  const std::string big = Write("big.pat", "0 0\r\n");
  d.AdicionarValores(Ramp());
  EXPECT_NE(ErrorText([&] { d.SobreporPadrao(big); }).find("colunas demais"), std::string::npos);
  EXPECT_EQ(d.Histogramas().size(), 2u);

  // Up to 256 columns load from a short file; beyond, only when the file could hold them.
  EXPECT_EQ(MaxPatternColumns(10), 256);
  EXPECT_EQ(MaxPatternColumns(512 * 1000), 1000);
}

TEST_F(HistogramFilesTest, SobreporPadraoNeedsItsPac) {
  d.AdicionarValores(Ramp());
  const std::string pat = Write("alone.pat", "0.5 0.5\r\n");
  EXPECT_EQ(ErrorText([&] { d.SobreporPadrao(pat); }), "File not found");
  EXPECT_EQ(d.Histogramas().size(), 1u);
}

TEST_F(HistogramFilesTest, SobreporPadraoAddsTheColumnsWithNamesFromThePac) {
  Write("set.pac", "2\r\n/a/b/ferrita.his\r\ncementita\r\n");
  const std::string pat = Write("set.pat", "1 2 \r\n3 4 \r\n");
  d.AdicionarValores(Ramp());
  d.SobreporPadrao(pat);
  ASSERT_EQ(d.Histogramas().size(), 3u);
  EXPECT_EQ(d.Histogramas()[1].Nome, "ferrita");
  EXPECT_EQ(d.Histogramas()[2].Nome, "cementita");
  EXPECT_EQ(d.Histogramas()[1].Valores[1], 3.0);
  EXPECT_EQ(d.Histogramas()[2].Valores[0], 2.0);
  EXPECT_EQ(d.Histogramas()[2].Cor, CorDaFase(2));

  // In single mode the columns make a new list; the single histogram is not kept.
  d.Limpar();
  d.SobreporPadrao(pat);
  ASSERT_EQ(d.Histogramas().size(), 2u);
  EXPECT_EQ(d.Histogramas()[0].Nome, "ferrita");
}

// ---- image lists and images ----

TEST_F(HistogramFilesTest, CarregarListaMakesOneCurvePerImage) {
  const std::string a =
      Picture("a.vtst", GreyBitmap(4, 2, [](int x, int) { return x < 3 ? 10 : 20; }));
  const std::string b = Picture("b.vtst", GreyBitmap(1, 1, [](int, int) { return 255; }));
  const std::string empty = Picture("e.vtst", Bitmap(0, 0, PixelFormat::pf8bit));
  const std::string list =
      Write("l.lst", "3  \r\n" + a + "\r\n" + b + "\r\n" + empty + "\r\nextra\r\n");
  d.DefinirValores(Ramp());
  d.CarregarLista(list);
  ASSERT_TRUE(d.Sobreposicao());
  ASSERT_EQ(d.Histogramas().size(), 3u);
  EXPECT_EQ(d.Histogramas()[0].Valores[10], 0.75);
  EXPECT_EQ(d.Histogramas()[0].Valores[20], 0.25);
  EXPECT_EQ(d.Histogramas()[1].Valores[255], 1.0);
  EXPECT_EQ(d.Histogramas()[2].Valores, GreyHistogram{});
  const char* names[] = {"a", "b", "e"};
  for (size_t k = 0; k < 3; ++k) {
    EXPECT_EQ(d.Histogramas()[k].Nome, names[k]);
    EXPECT_EQ(d.Histogramas()[k].Cor, CorDaFase(uint8_t(k)));
    EXPECT_EQ(d.Histogramas()[k].Espessura, 1);
  }
}

TEST_F(HistogramFilesTest, ImageListRoundTripThroughAPattern) {
  // A list loaded and saved as a pattern gives the expected pattern files.
  const std::string ramp =
      Picture("ramp.vtst", GreyBitmap(16, 16, [](int x, int y) { return uint8_t(16 * y + x); }));
  const std::string list = Write("r.lst", "2\r\n" + ramp + "\r\n" + ramp + "\r\n");
  d.CarregarLista(list);
  d.SalvarPadrao(folder / "fromlist.pat");
  const std::string pat = TempDir::read(folder / "fromlist.pat");
  const std::string line = " 3.90625000000000E-0003  3.90625000000000E-0003 \r\n";
  std::string expected;
  for (int g = 0; g < 256; ++g) expected += line;
  EXPECT_EQ(pat, expected);
  EXPECT_EQ(TempDir::read(folder / "fromlist.pac"), "2\r\nramp\r\nramp\r\n");
  EXPECT_EQ(TempDir::read(folder / "fromlist.err"), TempDir::read(DataFile("two.err")));
}

TEST_F(HistogramFilesTest, CarregarListaCountRules) {
  for (int i = 0; i < 5; ++i) d.AdicionarValores(Filled(i));
  d.CarregarLista(Write("zero.lst", "0\r\n"));
  EXPECT_TRUE(d.Sobreposicao());
  EXPECT_TRUE(d.Histogramas().empty());

  d.Limpar();
  EXPECT_EQ(ErrorText([&] { d.CarregarLista(Write("bad.lst", "x\r\n")); }),
            "Invalid numeric input");
  EXPECT_TRUE(d.Sobreposicao());
}

TEST_F(HistogramFilesTest, AHugeListCountAllocatesNothingForMissingLines) {
  const std::string a = Picture("a.vtst", GreyBitmap(1, 1, [](int, int) { return 1; }));
  // Two billion images announced, one listed: the second (empty) name fails to load.
  const std::string message =
      ErrorText([&] { d.CarregarLista(Write("huge.lst", "2000000000\r\n" + a + "\r\n")); });
  EXPECT_EQ(message, "Unknown picture file extension (.)");
  ASSERT_EQ(d.Histogramas().size(), 1u);
  EXPECT_EQ(d.Histogramas()[0].Nome, "a");
}

TEST_F(HistogramFilesTest, CarregarListaGivesImagesThatAreNotEightBitAnEmptyCurve) {
  const std::string colour = Picture("c.vtst", Bitmap(2, 2, PixelFormat::pf24bit));
  d.CarregarLista(Write("c.lst", "1\r\n" + colour + "\r\n"));
  ASSERT_EQ(d.Histogramas().size(), 1u);
  EXPECT_EQ(d.Histogramas()[0].Valores, GreyHistogram{});
  EXPECT_EQ(d.Histogramas()[0].Nome, "c");
  EXPECT_EQ(messages, std::vector<std::string>{"Essa não é uma imagem de 8 bits"});
}

TEST_F(HistogramFilesTest, SobreporLista) {
  const std::string a = Picture("a.vtst", GreyBitmap(2, 1, [](int, int) { return 4; }));
  const std::string colour = Picture("c.vtst", Bitmap(2, 2, PixelFormat::pf24bit));
  d.DefinirValores(Ramp());
  d.SobreporLista(Write("s.lst", "3\r\n" + a + "\r\n" + colour + "\r\n" + a + "\r\n"));
  // The single histogram becomes the first curve; the colour image is refused.
  ASSERT_EQ(d.Histogramas().size(), 3u);
  EXPECT_EQ(d.Histogramas()[0].Valores, Ramp());
  EXPECT_EQ(d.Histogramas()[1].Nome, "a");
  EXPECT_EQ(d.Histogramas()[2].Valores[4], 1.0);
  EXPECT_EQ(d.Histogramas()[2].Cor, CorDaFase(2));
  EXPECT_EQ(messages.size(), 1u);

  for (const char* count : {"0", "-3"}) {
    d.SobreporLista(Write("n.lst", std::string(count) + "\r\n" + a + "\r\n"));
    EXPECT_EQ(d.Histogramas().size(), 3u) << count;
  }
  // A count beyond the lines ends at the first missing one.
  EXPECT_EQ(ErrorText([&] { d.SobreporLista(Write("long.lst", "99\r\n" + a + "\r\n")); }),
            "Unknown picture file extension (.)");
  EXPECT_EQ(d.Histogramas().size(), 4u);
}

TEST_F(HistogramFilesTest, SobreporImagem) {
  const std::string colour = Picture("c.vtst", Bitmap(2, 2, PixelFormat::pf24bit));
  EXPECT_FALSE(d.SobreporImagem(colour));
  EXPECT_FALSE(d.Sobreposicao());
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_EQ(ErrorText([&] { d.SobreporImagem(folder / "x.unknown"); }),
            "Unknown picture file extension (.unknown)");
  EXPECT_FALSE(d.Sobreposicao());
}

TEST_F(HistogramFilesTest, CarregarImagemRefusesImagesThatAreNotEightBit) {
  d.DefinirValores(Ramp());
  d.CarregarImagem(Picture("c.vtst", Bitmap(2, 2, PixelFormat::pf24bit)));
  EXPECT_EQ(d.Valores(), Ramp());
  EXPECT_EQ(messages.size(), 1u);
}

}  // namespace
}  // namespace vandrel
