// The Windows folder: the variable that names it, else the data folder of the user.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <string>

#include "platform/WindowsFolder.h"

namespace {

// Sets or clears an environment variable for the life of the object.
class EnvVar {
 public:
  EnvVar(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = getenv(name)) old_ = old;
    if (value)
      setenv(name, value->c_str(), 1);
    else
      unsetenv(name);
  }
  ~EnvVar() {
    if (old_)
      setenv(name_, old_->c_str(), 1);
    else
      unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

struct FolderCase {
  std::optional<std::string> windows, data, home;
  std::string expected;
};

TEST(WindowsFolder, FromTheEnvironment) {
  const FolderCase cases[] = {
      {"/w/dir", "/u/dados", "/home/u", "/w/dir"},
      {"/w/dir/", "/u/dados", "/home/u", "/w/dir"},
      {"/", "/u/dados", "/home/u", "/"},
      {std::nullopt, "/u/dados", "/home/u", "/u/dados/vandrel"},
      {"", "/u/dados/", "/home/u", "/u/dados/vandrel"},
      {std::nullopt, std::nullopt, "/home/u", "/home/u/.local/share/vandrel"},
      {std::nullopt, "", "/home/u", "/home/u/.local/share/vandrel"},
      // A relative data folder is no folder of the user's (the base directory rules).
      {std::nullopt, "data", "/home/u", "/home/u/.local/share/vandrel"},
  };
  for (const FolderCase& c : cases) {
    EnvVar w("VANDREL_WINDOWS_DIR", c.windows), d("XDG_DATA_HOME", c.data), h("HOME", c.home);
    EXPECT_EQ(vandrel::WindowsFolder(), c.expected)
        << c.windows.value_or("-") << " " << c.data.value_or("-");
  }
}

TEST(UserFolders, FromTheEnvironment) {
  const struct {
    std::optional<std::string> data, config, home;
    std::string dataFolder, configFolder;
  } cases[] = {
      {"/d", "/c", "/home/u", "/d", "/c"},
      {"/d/", "/c//", "/home/u", "/d", "/c"},
      {std::nullopt, std::nullopt, "/home/u", "/home/u/.local/share", "/home/u/.config"},
      {"", "", "/home/u/", "/home/u/.local/share", "/home/u/.config"},
      {"rel", "./c", "/home/u", "/home/u/.local/share", "/home/u/.config"},
  };
  for (const auto& c : cases) {
    EnvVar d("XDG_DATA_HOME", c.data), k("XDG_CONFIG_HOME", c.config), h("HOME", c.home);
    EXPECT_EQ(vandrel::UserDataFolder(), c.dataFolder) << c.data.value_or("-");
    EXPECT_EQ(vandrel::UserConfigFolder(), c.configFolder) << c.config.value_or("-");
  }
}

}  // namespace
