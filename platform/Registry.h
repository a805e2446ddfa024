#pragma once
// The registry store: keys under three roots, each holding named values that are strings
// or 32-bit integers, kept in one text file shared by the program and the installer.
// Key paths use "\" ("Software\Vandrel"); key and value names compare without regard to
// case; a key's default value has the empty name. Every write replaces the file
// atomically under a file lock.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vandrel {

enum class RegRoot { HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_CLASSES_ROOT };

class Registry {
 public:
  explicit Registry(RegRoot root = RegRoot::HKEY_CURRENT_USER) : root_(root) {}

  // $VANDREL_REGISTRY, else $XDG_CONFIG_HOME/vandrel/registry.ini.
  static std::string StorePath();

  RegRoot root() const { return root_; }
  void setRoot(RegRoot root) { root_ = root; }

  // Opens a key of the root (a leading "\" is ignored). Without `create` it fails (false)
  // when the key is absent; with it the key is made (EInOutError when the store cannot be
  // written).
  bool OpenKey(const std::string& key, bool create);
  void CloseKey();
  bool HasCurrentKey() const { return current_.has_value(); }
  const std::string& CurrentPath() const { return *current_; }

  bool KeyExists(const std::string& key) const;
  bool DeleteKey(const std::string& key);        // the key and every key under it
  std::vector<std::string> GetKeyNames() const;  // direct sub-keys of the current key

  // Values of the current key. Reading a value that is absent or of the other type raises
  // Exception ("Invalid data type for '<name>'"), as the class library's registry does.
  bool ValueExists(const std::string& name) const;
  std::string ReadString(const std::string& name) const;
  int32_t ReadInteger(const std::string& name) const;
  bool ReadBool(const std::string& name) const;
  void WriteString(const std::string& name, const std::string& value);
  void WriteInteger(const std::string& name, int32_t value);
  void WriteBool(const std::string& name, bool value);
  bool DeleteValue(const std::string& name);

 private:
  std::string FullPath(const std::string& key) const;
  RegRoot root_;
  std::optional<std::string> current_;
};

}  // namespace vandrel
