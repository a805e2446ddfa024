// The layer rule, checked on the source tree: platform core, codecs and models include no
// Qt header, and no layer includes a header of a layer above it. Child windows reach the
// main window through the frame interface only: no file outside app/shell includes the main
// window's header. Inside app/ the areas stand in one order (see AreaRank): a window folder
// includes only window folders of areas below its own, a model folder only model folders of
// its own area or below, the frame includes no area at all, and the settings are below every
// area. And the include arrows between folders never go round in a circle.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
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

// Only the shell may see the main window itself; everyone else sees the frame interface.
bool MayIncludeMainWindow(const std::string& rel) { return rel.rfind("app/shell/", 0) == 0; }
const char kMainWindowHeader[] = "app/shell/ui/UnitPrincipal.h";

// The areas of app/ from the bottom up; an area not listed here has no place in the order.
// The settings hold no window, and the frame holds no model.
int AreaRank(const std::string& area) {
  static const char* const order[] = {"settings",   "frame",    "histograms", "imaging",
                                      "thresholds", "analysis", "shell"};
  for (int i = 0; i < static_cast<int>(std::size(order)); ++i)
    if (area == order[i]) return i;
  return -1;
}

// "app/<area>/<kind>/..." split into its area and kind ("ui" or "model"); false for
// anything else under app/ (main.cpp, a file directly in an area).
bool AreaAndKind(const std::string& rel, std::string* area, std::string* kind) {
  static const std::regex re(R"(^app/([^/]+)/(ui|model)/[^/]+$)");
  std::smatch m;
  if (!std::regex_match(rel, m, re)) return false;
  *area = m[1];
  *kind = m[2];
  return true;
}

// Whether one file of app/ may include another, by the order of the areas. Empty when it
// may, else why not. The program's entry point (app/shell/main.cpp) stands above all.
std::string AreaRuleBroken(const std::string& from, const std::string& to) {
  if (to.rfind("app/", 0) != 0 || from.rfind("app/", 0) != 0) return {};
  std::string to_area, to_kind;
  if (!AreaAndKind(to, &to_area, &to_kind)) return "a file outside an area's ui/ or model/";
  const int to_rank = AreaRank(to_area);
  if (to_rank < 0) return "an area missing from the layer order";
  if (from == "app/shell/main.cpp") return {};
  std::string from_area, from_kind;
  if (!AreaAndKind(from, &from_area, &from_kind)) return "a file outside an area's ui/ or model/";
  const int from_rank = AreaRank(from_area);
  if (from_rank < 0) return "an area missing from the layer order";
  if (from_area == to_area && from_kind == to_kind) return {};
  if (from_area == "frame") return "the frame includes no area";
  if (from_kind == "model" && to_kind == "ui") return "a model includes no window";
  if (from_kind == "ui" && to_kind == "ui" && to_rank >= from_rank)
    return "a window folder of an area not below";
  if (to_kind == "model" && to_rank > from_rank) return "a model of a higher area";
  return {};
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

// Runs `visit(rel, path)` on every header and source file of the program.
template <class Visit>
void ForEachSource(const fs::path& root, Visit visit) {
  for (const char* top : {"platform", "codecs", "app", "installer"}) {
    if (!fs::exists(root / top)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(root / top)) {
      const auto ext = entry.path().extension();
      if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
      visit(fs::relative(entry.path(), root).generic_string(), entry.path());
    }
  }
}

std::vector<std::string> Violations(const fs::path& root) {
  std::vector<std::string> found;
  ForEachSource(root, [&](const std::string& rel, const fs::path& path) {
    const Layer from = LayerOf(rel);
    for (const Include& inc : IncludesOf(path)) {
      const std::string where = rel + ":" + std::to_string(inc.line) + " includes " + inc.target;
      if (NoQt(from) && IsQtHeader(inc)) found.push_back(where + " (a Qt header)");
      if (inc.angled) continue;
      if (inc.target == kMainWindowHeader && !MayIncludeMainWindow(rel))
        found.push_back(where + " (the main window's header outside app/shell)");
      const Layer to = LayerOf(inc.target);
      if (to != kOther && !MayInclude(from, to)) found.push_back(where + " (a higher layer)");
      if (const std::string why = AreaRuleBroken(rel, inc.target); !why.empty())
        found.push_back(where + " (" + why + ")");
    }
  });
  return found;
}

using FolderGraph = std::map<std::string, std::set<std::string>>;

std::string FolderOf(const std::string& rel) {
  const size_t slash = rel.rfind('/');
  return slash == std::string::npos ? std::string() : rel.substr(0, slash);
}

// Which folder includes a header of which other folder, over the program's own sources.
FolderGraph FolderIncludes(const fs::path& root) {
  FolderGraph graph;
  ForEachSource(root, [&](const std::string& rel, const fs::path& path) {
    for (const Include& inc : IncludesOf(path)) {
      if (inc.angled || inc.target.find('/') == std::string::npos) continue;
      const std::string from = FolderOf(rel), to = FolderOf(inc.target);
      if (from != to) graph[from].insert(to);
    }
  });
  return graph;
}

// A circle of folders, each including a header of the next, written "a -> b -> a"; empty
// when there is none.
std::string FindCircle(const FolderGraph& graph) {
  std::map<std::string, int> state;  // 0 unseen, 1 on the current path, 2 done
  std::vector<std::string> path;
  std::string circle;
  auto visit = [&](auto&& self, const std::string& folder) -> bool {
    state[folder] = 1;
    path.push_back(folder);
    if (auto it = graph.find(folder); it != graph.end()) {
      for (const std::string& next : it->second) {
        if (state[next] == 1) {
          auto start = std::find(path.begin(), path.end(), next);
          for (auto p = start; p != path.end(); ++p) circle += *p + " -> ";
          circle += next;
          return true;
        }
        if (state[next] == 0 && self(self, next)) return true;
      }
    }
    path.pop_back();
    state[folder] = 2;
    return false;
  };
  for (const auto& [folder, targets] : graph)
    if (state[folder] == 0 && visit(visit, folder)) break;
  return circle;
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

TEST(Layers, OnlyTheShellSeesTheMainWindow) {
  const struct {
    const char* file;
    bool allowed;
  } cases[] = {
      {"app/shell/ui/UnitPrincipal.cpp", true},
      {"app/shell/ui/ImagingCommands.cpp", true},
      {"app/shell/main.cpp", true},
      {"app/imaging/ui/UnitImagem.cpp", false},
      {"app/frame/ui/Frame.h", false},
      {"app/main.cpp", false},
      {"app/shellish/ui/X.cpp", false},
      {"installer/main.cpp", false},
  };
  for (const auto& c : cases) EXPECT_EQ(MayIncludeMainWindow(c.file), c.allowed) << c.file;
}

TEST(Layers, AreasIncludeOnlyDownward) {
  const struct {
    const char* from;
    const char* to;
    bool allowed;
  } cases[] = {
      // windows, in the order shell, analysis, thresholds, imaging, histograms, frame
      {"app/shell/ui/A.cpp", "app/analysis/ui/B.h", true},
      {"app/shell/ui/A.cpp", "app/frame/ui/Frame.h", true},
      {"app/analysis/ui/A.cpp", "app/thresholds/ui/B.h", true},
      {"app/thresholds/ui/A.cpp", "app/imaging/ui/B.h", true},
      {"app/imaging/ui/A.cpp", "app/histograms/ui/B.h", true},
      {"app/histograms/ui/A.cpp", "app/frame/ui/Form.h", true},
      {"app/imaging/ui/A.cpp", "app/imaging/ui/B.h", true},
      {"app/analysis/ui/A.cpp", "app/shell/ui/B.h", false},
      {"app/thresholds/ui/A.cpp", "app/analysis/ui/B.h", false},
      {"app/imaging/ui/A.cpp", "app/thresholds/ui/B.h", false},
      {"app/histograms/ui/A.cpp", "app/imaging/ui/B.h", false},
      {"app/frame/ui/A.cpp", "app/histograms/ui/B.h", false},
      // the frame includes no area, not even the settings
      {"app/frame/ui/A.cpp", "app/frame/ui/B.h", true},
      {"app/frame/ui/A.cpp", "app/settings/model/URecursos.h", false},
      {"app/frame/ui/A.cpp", "app/imaging/model/B.h", false},
      // models: no window, nothing of a higher area; the settings below every area
      {"app/thresholds/model/A.cpp", "app/imaging/model/B.h", true},
      {"app/histograms/model/A.cpp", "app/settings/model/URecursos.h", true},
      {"app/histograms/model/A.cpp", "app/analysis/model/B.h", false},
      {"app/settings/model/A.cpp", "app/histograms/model/B.h", false},
      {"app/imaging/model/A.cpp", "app/imaging/ui/B.h", false},
      {"app/settings/model/A.cpp", "app/frame/ui/B.h", false},
      // windows and models
      {"app/analysis/ui/A.cpp", "app/thresholds/model/B.h", true},
      {"app/imaging/ui/A.cpp", "app/settings/model/URecursos.h", true},
      {"app/histograms/ui/A.cpp", "app/analysis/model/B.h", false},
      // the entry point stands above all; unknown areas and loose files have no place
      {"app/shell/main.cpp", "app/shell/ui/UnitPrincipal.h", true},
      {"app/shell/ui/A.cpp", "app/newarea/ui/B.h", false},
      {"app/newarea/model/A.cpp", "app/settings/model/URecursos.h", false},
      {"app/shell/ui/A.cpp", "app/shell/Loose.h", false},
      {"app/imaging/ui/A.cpp", "app/imaging/ui/sub/B.h", false},
      // outside app/ the other checks hold
      {"platform/Bitmap.cpp", "platform/Bitmap.h", true},
      {"app/imaging/model/A.cpp", "codecs/tiff/TiffImage.h", true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(AreaRuleBroken(c.from, c.to).empty(), c.allowed) << c.from << " -> " << c.to;
}

TEST(Layers, FindsCirclesBetweenFolders) {
  const struct {
    FolderGraph graph;
    bool circle;
  } cases[] = {
      {{}, false},
      {{{"a", {"b"}}, {"b", {"c"}}}, false},
      {{{"a", {"b", "c"}}, {"b", {"c"}}}, false},  // two ways to one folder
      {{{"a", {"b"}}, {"b", {"a"}}}, true},
      {{{"a", {"b"}}, {"b", {"c"}}, {"c", {"a"}}}, true},
      {{{"x", {"a"}}, {"a", {"b"}}, {"b", {"c"}}, {"c", {"b"}}}, true},  // off the start
  };
  for (const auto& c : cases) EXPECT_EQ(!FindCircle(c.graph).empty(), c.circle);
  EXPECT_EQ(FindCircle({{"a", {"b"}}, {"b", {"a"}}}), "a -> b -> a");
}

TEST(Layers, TheSourceTreeKeepsTheRule) {
  const std::vector<std::string> found = Violations(VANDREL_SOURCE_DIR);
  std::string all;
  for (const std::string& v : found) all += v + "\n";
  EXPECT_TRUE(found.empty()) << all;
}

TEST(Layers, NoCircleBetweenFolders) {
  const std::string circle = FindCircle(FolderIncludes(VANDREL_SOURCE_DIR));
  EXPECT_TRUE(circle.empty()) << circle;
}
