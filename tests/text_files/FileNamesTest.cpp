// Splitting paths into file name and extension, as every file rule of the program reads it.
#include <gtest/gtest.h>

#include "platform/FileNames.h"

namespace vandrel {
namespace {

TEST(FileNames, SplitsFolderNameAndExtension) {
  const struct {
    const char* path;
    const char* name;
    const char* extension;
    const char* without;
  } cases[] = {
      {"a/b.c", "b.c", ".c", "a/b"},
      {"b", "b", "", "b"},
      {".x", ".x", ".x", ""},
      {"a.b/c", "c", "", "a.b/c"},
      {"/", "", "", "/"},
      {"", "", "", ""},
      {"a/b/", "", "", "a/b/"},
      {"a.b/", "", "", "a.b/"},
      {"/pasta/IMAGEM.TIF", "IMAGEM.TIF", ".TIF", "/pasta/IMAGEM"},
      {"a/b.tar.gz", "b.tar.gz", ".gz", "a/b.tar"},
      {"x.pat.pat", "x.pat.pat", ".pat", "x.pat"},
      {"a/b.", "b.", ".", "a/b"},
      {"a/.x", ".x", ".x", "a/"},
      {"a..b", "a..b", ".b", "a."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FileNameOf(c.path), c.name) << c.path;
    EXPECT_EQ(FileExtension(c.path), c.extension) << c.path;
    EXPECT_EQ(WithoutExtension(c.path), c.without) << c.path;
    // The three parts put together give the path back.
    const std::string path = c.path;
    EXPECT_EQ(path.substr(0, FileNameStart(path)) + FileNameOf(path), path);
    EXPECT_EQ(WithoutExtension(path) + FileExtension(path), path);
    EXPECT_GE(ExtensionStart(path), FileNameStart(path)) << c.path;
  }
}

}  // namespace
}  // namespace vandrel
