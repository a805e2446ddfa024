// The repository stands on its own: a clone with nothing beside it builds and passes every
// test. Checked two ways: the repository's files name no path that leaves it,
// and the configured build tree (its compile commands and its tests) refers to nothing but
// the source tree, the build tree and the system's own files under /usr.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Every text file of the repository: build files, scripts, sources, configuration and data
// files the program is delivered with. Build trees (folders with a CMakeCache.txt), the
// version control files and the images of the test corpus and the fuzz seeds are not looked
// at; nor is any file with a zero byte in it (a binary file).
std::vector<fs::path> TextFiles(const fs::path& root) {
  static const std::set<std::string> kSkipped = {"tests/corpus/tiff", "tests/corpus/gif",
                                                 "fuzz/seeds"};
  std::vector<fs::path> files;
  // Other tests may add and remove files meanwhile: what vanishes on the way is passed over.
  std::error_code ec;
  for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& path = it->path();
    const std::string rel = path.lexically_relative(root).generic_string();
    std::error_code kind;
    if (path.filename() == ".git") {
      if (it->is_directory(kind)) it.disable_recursion_pending();
      continue;
    }
    if (it->is_directory(kind)) {
      if (kSkipped.count(rel) || fs::exists(path / "CMakeCache.txt", kind))
        it.disable_recursion_pending();
      continue;
    }
    if (!it->is_regular_file(kind)) continue;
    if (Read(path).find('\0') == std::string::npos) files.push_back(path);
  }
  EXPECT_FALSE(ec) << root << ": " << ec.message();
  return files;
}

// A line with its string literals joined where the code joins them: "/" + "srv",
// std::string("/") + "srv", QStringLiteral("/") + u"srv"_s and "/" "srv" all read "/srv".
std::string JoinLiterals(const std::string& line) {
  static const std::regex kJoin(
      R"re("\s*\)?\s*\+?\s*(?:QStringLiteral\(|QString\(|QLatin1String\(|std::string\(|u8?)?")re");
  return std::regex_replace(line, kJoin, "");
}

// The test files CMake wrote in a build tree.
std::vector<fs::path> TestFiles(const fs::path& build) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(build, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code kind;
    if (it->path().filename() == "CTestTestfile.cmake" && it->is_regular_file(kind))
      files.push_back(it->path());
  }
  EXPECT_FALSE(ec) << build << ": " << ec.message();
  return files;
}

// Whether `path` lies in `folder` (both made absolute and free of "." and "..").
bool Inside(const fs::path& path, const fs::path& folder) {
  const fs::path p = fs::weakly_canonical(path), f = fs::weakly_canonical(folder);
  auto a = p.begin();
  for (const fs::path& part : f) {
    if (part.empty()) continue;  // the empty last part of a folder written with a final slash
    if (a == p.end() || *a != part) return false;
    ++a;
  }
  return true;
}

// Text that reaches out of the repository: the folder beside it that only some machines
// have, absolute paths of one machine (whole, or joined from pieces), and a step up from the
// source or build folder.
struct Pattern {
  const char* what;
  std::vector<std::string> clues;  // text of which every match holds one, looked for first
  std::regex regex;
};
const Pattern kPatterns[] = {
    {"the folder beside the repository", {"shared"}, std::regex(R"(\.\./shared|shared/corpu[s])")},
    // Root folders that only some machines have. A path that goes on from a name, a
    // variable, a macro or a call ($dir/data, ${root}/data, DIR "/data", Path() + "/data")
    // is not one; one after a blank is (set(X /data), cp /data/x .).
    {"a path of one machine",
     {"/srv", "/data", "/mnt", "/media", "/scratch", "/net", "/wor"},
     std::regex(R"re((?:(?:^|[^\w\s"'.$})\]/~+*-])\s*["']?|\s)/)re"
                R"re((?:(?:srv|data|mnt|media|scratch|net)(?=[/"'\s;:,)\]]|$)|wor[k]/))re")},
    {"a step up from the source or build folder",
     {"_DIR"},
     std::regex(R"re((SOURCE_DIR|BINARY_DIR)[})"]*\s*"?\s*/\.\.(/|"|\s|$))re")},
};

// What a line of a file names outside the repository, or nothing.
const char* OutsideTheRepository(const std::string& line) {
  const std::string joined = JoinLiterals(line);
  for (const Pattern& p : kPatterns) {
    bool clue = false;
    for (const std::string& c : p.clues) clue = clue || joined.find(c) != std::string::npos;
    if (clue && std::regex_search(joined, p.regex)) return p.what;
  }
  return nullptr;
}

}  // namespace

TEST(Repository, FilesNameNoPathOutsideIt) {
  const fs::path root = VANDREL_SOURCE_DIR;
  const std::vector<fs::path> files = TextFiles(root);
  EXPECT_GT(files.size(), 100u) << "the source tree was not found at " << root;
  std::set<std::string> seen;
  for (const fs::path& file : files) {
    const std::string rel = file.lexically_relative(root).generic_string();
    seen.insert(rel);
    // This file states the patterns and the pieces they must see.
    if (rel == "tests/repository/repository_test.cpp") continue;
    std::istringstream text(Read(file));
    std::string line;
    for (int n = 1; std::getline(text, line); ++n)
      if (const char* what = OutsideTheRepository(line))
        ADD_FAILURE() << rel << ":" << n << " names " << what << ": " << line;
  }
  // Build files, scripts of every folder, sources and delivered data files are among them.
  for (const char* file : {"CMakeLists.txt", "scripts/deps.sh", "tests/corpus/make_reference.sh",
                           "tests/corpus/refdecode.c", "data/system/config.ini",
                           "tests/repository/repository_test.cpp"})
    EXPECT_EQ(seen.count(file), 1u) << file;
}

// The joining of literals sees paths made of pieces, and the patterns tell a path of one
// machine from a folder of that name inside another one.
TEST(Repository, PathsMadeOfPiecesAreSeen) {
  EXPECT_EQ(JoinLiterals(R"(open("/" + "srv/x");)"), R"(open("/srv/x");)");
  EXPECT_EQ(JoinLiterals(R"(std::string("/") + "data")"), R"(std::string("/data")");
  EXPECT_EQ(JoinLiterals(R"(QStringLiteral("/mn") + QStringLiteral("t/a"))"),
            R"(QStringLiteral("/mnt/a"))");
  EXPECT_EQ(JoinLiterals(R"("/" "srv")"), R"("/srv")");
  EXPECT_EQ(JoinLiterals(R"(f("a", "b"))"), R"(f("a", "b"))");
  const struct {
    const char* line;
    bool outside;
  } cases[] = {
      {R"(Open("/srv/vandrel/a.his");)", true},
      {R"(Open(std::string("/") + "srv" + "/a.his");)", true},
      {R"(const char* p = "/" "data/x";)", true},
      {"pasta=/srv/vandrel", true},
      {"set(IMAGES /mnt/images)", true},
      {"cp /media/usb/a.tif .", true},
      {R"({"/data", "/home/u"},)", true},
      {"cp ../sha"
       "red/corpus/x.tif tiff/",
       true},
      {R"(add(${CMAKE_SOURCE_DIR}/../other))", true},
      {"cd /wor"
       "k/x",
       true},
      {R"(QFile::copy(VANDREL_SOURCE_DIR "/data/Ajuda.hlp", to);)", false},
      {R"(Path() + "/data")", false},
      {R"(XDG_DATA_HOME="$work/data")", false},
      {"${CMAKE_CURRENT_SOURCE_DIR}/data", false},
      {"the fixtures (`tests/*/data/`)", false},
      {R"(EXPECT_EQ(keys.at("Path"), "/work folder/sub");)", false},
      {R"(Open("/srv2/a");)", false},
      {R"(Open("/tmp/a");)", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(OutsideTheRepository(c.line) != nullptr, c.outside) << c.line;
}

// Every absolute path in the compile commands and in the test files that CMake wrote: the
// data folders the tests are given, the include folders, the programs the tests run and
// the environment they run in.
TEST(Repository, ConfiguredTreeRefersOnlyToTheRepositoryAndTheSystem) {
  const fs::path source = VANDREL_SOURCE_DIR, build = VANDREL_BINARY_DIR;
  std::vector<fs::path> files = TestFiles(build);
  files.insert(files.begin(), build / "compile_commands.json");
  ASSERT_TRUE(fs::exists(files.front())) << files.front();
  EXPECT_GT(files.size(), 10u);

  // An absolute path begins after a blank, a quote, "=", ";", "(" or at the start of a
  // line, and runs up to the next blank, quote, back-slash, ";" or ")".
  static const std::regex kPath(R"((?:^|[\s"'=;(\[])(/[^\s"'\\;)\]]*))");
  std::set<std::string> outside;
  size_t paths = 0;
  for (const fs::path& file : files) {
    const std::string text = Read(file);
    for (std::sregex_iterator m(text.begin(), text.end(), kPath), end; m != end; ++m) {
      const std::string path = (*m)[1];
      ++paths;
      if (!Inside(path, source) && !Inside(path, build) && !Inside(path, "/usr"))
        outside.insert(file.lexically_relative(build).generic_string() + ": " + path);
    }
  }
  EXPECT_GT(paths, 100u);
  for (const std::string& o : outside) ADD_FAILURE() << o;
}

// The macros that lead the tests to their data name folders of the repository that exist.
TEST(Repository, TestDataFoldersAreInsideIt) {
  const fs::path source = VANDREL_SOURCE_DIR;
  for (const char* folder : {VANDREL_CORPUS_DIR, VANDREL_SOURCE_DIR}) {
    EXPECT_TRUE(Inside(folder, source)) << folder;
    EXPECT_TRUE(fs::is_directory(folder)) << folder;
  }
  EXPECT_TRUE(Inside(VANDREL_TEST_DATA_DIR, source)) << VANDREL_TEST_DATA_DIR;
  for (const char* file :
       {"REFERENCE.tsv", "SOURCES.tsv", "MANIFEST.tsv", "LICENSES.txt", "LICENSES/GPL-3.0.txt"})
    EXPECT_TRUE(fs::is_regular_file(fs::path(VANDREL_CORPUS_DIR) / file)) << file;
}
