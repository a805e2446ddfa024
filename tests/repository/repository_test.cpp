// The repository stands on its own: a clone with nothing beside it builds and passes every
// test. Checked two ways: the build and test files name no path that leaves the repository,
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

// The files that build or test the program: CMake files, scripts and sources. Build trees
// (folders with a CMakeCache.txt), the version control folder and the data files of the test
// corpus and the fuzz seeds are not looked at.
std::vector<fs::path> BuildAndTestFiles(const fs::path& root) {
  static const std::set<std::string> kExtensions = {".cmake", ".cpp", ".h",    ".c",
                                                    ".sh",    ".py",  ".supp", ".json"};
  std::vector<fs::path> files;
  // Other tests may add and remove files meanwhile: what vanishes on the way is passed over.
  std::error_code ec;
  for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& path = it->path();
    const std::string rel = path.lexically_relative(root).generic_string();
    std::error_code kind;
    if (it->is_directory(kind)) {
      if (rel == ".git" || rel == "tests/corpus" || rel == "fuzz/seeds" ||
          fs::exists(path / "CMakeCache.txt", kind))
        it.disable_recursion_pending();
      continue;
    }
    if (!it->is_regular_file(kind)) continue;
    const std::string name = path.filename().string();
    if (name == "CMakeLists.txt" || kExtensions.count(path.extension().string()) ||
        rel.rfind(".ci/", 0) == 0)
      files.push_back(path);
  }
  EXPECT_FALSE(ec) << root << ": " << ec.message();
  return files;
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

}  // namespace

// Text that reaches out of the repository: the folder beside it that only some machines
// have, absolute paths of one machine, and a step up from the source or build folder.
TEST(Repository, BuildAndTestFilesNameNoPathOutsideIt) {
  struct Pattern {
    const char* what;
    const char* clue;  // text that every match holds, looked for first
    std::regex regex;
  } patterns[] = {
      {"the folder beside the repository", "shared", std::regex(R"(\.\./shared|shared/corpu[s])")},
      {"a path of one machine", "/wor", std::regex(R"(/wor[k]/)")},
      {"a step up from the source or build folder", "_DIR",
       std::regex(R"re((SOURCE_DIR|BINARY_DIR)[})"]*\s*"?\s*/\.\.(/|"|\s|$))re")},
  };
  const fs::path root = VANDREL_SOURCE_DIR;
  const std::vector<fs::path> files = BuildAndTestFiles(root);
  EXPECT_GT(files.size(), 100u) << "the source tree was not found at " << root;
  bool sawTopLevel = false;
  for (const fs::path& file : files) {
    const std::string rel = file.lexically_relative(root).generic_string();
    sawTopLevel = sawTopLevel || rel == "CMakeLists.txt";
    std::istringstream text(Read(file));
    std::string line;
    for (int n = 1; std::getline(text, line); ++n)
      for (const Pattern& p : patterns)
        EXPECT_FALSE(line.find(p.clue) != std::string::npos && std::regex_search(line, p.regex))
            << rel << ":" << n << " names " << p.what << ": " << line;
  }
  EXPECT_TRUE(sawTopLevel);
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
