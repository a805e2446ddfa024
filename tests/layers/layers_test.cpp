// The layer rule, checked on the source tree: platform core, codecs and models include no
// Qt header, and no layer includes a header of a layer above it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

enum Layer { kPlatform, kCodecs, kModels, kPlatformUi, kWindows, kOther };

// The layer of a path relative to the source tree.
Layer LayerOf(const std::string& rel) {
  static const std::regex model(R"(^app/[^/]+/model/)"), ui(R"(^app/[^/]+/ui/)");
  if (rel.rfind("platform/qt/", 0) == 0) return kPlatformUi;
  if (rel.rfind("platform/", 0) == 0) return kPlatform;
  if (rel.rfind("codecs/", 0) == 0) return kCodecs;
  if (std::regex_search(rel, model)) return kModels;
  if (std::regex_search(rel, ui) || rel.rfind("installer/", 0) == 0) return kWindows;
  return kOther;
}

// What each layer may include from the program's own layers.
bool MayInclude(Layer from, Layer to) {
  switch (from) {
    case kPlatform:
      return to == kPlatform;
    case kCodecs:
      return to == kPlatform || to == kCodecs;
    case kModels:
      return to == kPlatform || to == kCodecs || to == kModels;
    case kPlatformUi:
      return to == kPlatform || to == kPlatformUi;
    default:
      return true;
  }
}

bool NoQt(Layer layer) { return layer == kPlatform || layer == kCodecs || layer == kModels; }

struct Include {
  int line;
  std::string target;
  bool angled;
};

std::vector<Include> IncludesOf(const fs::path& file) {
  static const std::regex include(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
  std::vector<Include> out;
  std::ifstream in(file);
  std::string text;
  int n = 0;
  while (std::getline(in, text)) {
    ++n;
    std::smatch m;
    if (std::regex_search(text, m, include)) out.push_back({n, m[2], m[1] == "<"});
  }
  return out;
}

bool IsQtHeader(const Include& inc) {
  static const std::regex qt(R"(^(Q[A-Z][A-Za-z0-9]*|Qt[A-Za-z0-9]*(/.*)?|q[a-z0-9_]+\.h)$)");
  return std::regex_match(inc.target, qt);
}

std::vector<std::string> Violations(const fs::path& root) {
  std::vector<std::string> found;
  for (const char* top : {"platform", "codecs", "app", "installer"}) {
    if (!fs::exists(root / top)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(root / top)) {
      const auto ext = entry.path().extension();
      if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
      const std::string rel = fs::relative(entry.path(), root).generic_string();
      const Layer from = LayerOf(rel);
      for (const Include& inc : IncludesOf(entry.path())) {
        const std::string where = rel + ":" + std::to_string(inc.line) + " includes " + inc.target;
        if (NoQt(from) && IsQtHeader(inc)) found.push_back(where + " (a Qt header)");
        if (inc.angled) continue;
        const Layer to = LayerOf(inc.target);
        if (to != kOther && !MayInclude(from, to)) found.push_back(where + " (a higher layer)");
      }
    }
  }
  return found;
}

}  // namespace

TEST(Layers, ClassifiesThePaths) {
  EXPECT_EQ(LayerOf("platform/Bitmap.h"), kPlatform);
  EXPECT_EQ(LayerOf("platform/qt/Dialogs.h"), kPlatformUi);
  EXPECT_EQ(LayerOf("codecs/tiff/x.h"), kCodecs);
  EXPECT_EQ(LayerOf("app/histograms/model/x.h"), kModels);
  EXPECT_EQ(LayerOf("app/shell/ui/UnitPrincipal.h"), kWindows);
  EXPECT_EQ(LayerOf("installer/x.cpp"), kWindows);
  EXPECT_TRUE(IsQtHeader({1, "QImage", true}));
  EXPECT_TRUE(IsQtHeader({1, "QtWidgets/QWidget", true}));
  EXPECT_FALSE(IsQtHeader({1, "vector", true}));
  EXPECT_FALSE(MayInclude(kCodecs, kModels));
  EXPECT_FALSE(MayInclude(kPlatformUi, kCodecs));
  EXPECT_TRUE(MayInclude(kWindows, kPlatformUi));
}

TEST(Layers, TheSourceTreeKeepsTheRule) {
  const std::vector<std::string> found = Violations(VANDREL_SOURCE_DIR);
  std::string all;
  for (const std::string& v : found) all += v + "\n";
  EXPECT_TRUE(found.empty()) << all;
}
