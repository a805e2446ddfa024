#include "platform/Registry.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <utility>

#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "platform/IoError.h"
#include "platform/RegularFile.h"

namespace vandrel {

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

const char* RootName(RegRoot root) {
  switch (root) {
    case RegRoot::HKEY_LOCAL_MACHINE:
      return "HKEY_LOCAL_MACHINE";
    case RegRoot::HKEY_CURRENT_USER:
      return "HKEY_CURRENT_USER";
    case RegRoot::HKEY_CLASSES_ROOT:
      return "HKEY_CLASSES_ROOT";
  }
  return "HKEY_CURRENT_USER";
}

struct Value {
  std::string name;
  bool isString = true;
  std::string text;
  int32_t number = 0;
};

struct Key {
  std::string path;  // as first written
  std::vector<Value> values;
  Value* find(const std::string& name) {
    for (Value& v : values)
      if (Lower(v.name) == Lower(name)) return &v;
    return nullptr;
  }
};

// The whole store, keyed by the lower-case full path.
using Store = std::map<std::string, Key>;

std::string Escape(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '\\' || c == '"')
      out += '\\', out += c;
    else if (c == '\n')
      out += "\\n";
    else if (c == '\r')
      out += "\\r";
    else
      out += c;
  }
  return out;
}

// Reads a quoted text starting at s[i] == '"'; i ends after the closing quote.
bool Unquote(const std::string& s, size_t& i, std::string& out) {
  if (i >= s.size() || s[i] != '"') return false;
  ++i;
  while (i < s.size() && s[i] != '"') {
    char c = s[i++];
    if (c == '\\' && i < s.size()) {
      char e = s[i++];
      c = e == 'n' ? '\n' : e == 'r' ? '\r' : e;
    }
    out += c;
  }
  if (i >= s.size()) return false;
  ++i;
  return true;
}

// A damaged line is skipped: the rest of the store stays readable.
Store Parse(const std::string& content) {
  Store store;
  Key* key = nullptr;
  // Where each value already read sits in its key, by the key and the value's lower-case
  // name: a later line of the same name replaces it without a walk over the key's values.
  std::map<std::pair<const Key*, std::string>, size_t> seen;
  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    std::string line = content.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      std::string path = line.substr(1, line.size() - 2);
      key = &store[Lower(path)];
      if (key->path.empty()) key->path = path;
      continue;
    }
    if (!key || line.empty()) continue;
    Value v;
    size_t i = 0;
    if (line[0] == '@') {
      i = 1;
    } else if (!Unquote(line, i, v.name)) {
      continue;
    }
    if (i >= line.size() || line[i] != '=') continue;
    ++i;
    if (line.compare(i, 6, "dword:") == 0) {
      v.isString = false;
      char* stop = nullptr;
      unsigned long n = std::strtoul(line.c_str() + i + 6, &stop, 16);
      if (stop == line.c_str() + i + 6) continue;
      v.number = static_cast<int32_t>(static_cast<uint32_t>(n));
    } else if (!Unquote(line, i, v.text)) {
      continue;
    }
    const auto [at, added] = seen.try_emplace({key, Lower(v.name)}, key->values.size());
    if (added)
      key->values.push_back(std::move(v));
    else
      key->values[at->second] = std::move(v);
  }
  return store;
}

std::string Serialise(const Store& store) {
  std::string out;
  for (const auto& [lower, key] : store) {
    out.append("[").append(key.path).append("]\n");
    for (const Value& v : key.values) {
      if (v.name.empty())
        out.append("@");
      else
        out.append("\"").append(Escape(v.name)).append("\"");
      if (v.isString) {
        out.append("=\"").append(Escape(v.text)).append("\"\n");
      } else {
        char buf[16];
        std::snprintf(buf, sizeof buf, "dword:%08x", static_cast<uint32_t>(v.number));
        out.append("=").append(buf).append("\n");
      }
    }
    out += "\n";
  }
  return out;
}

// Holds the store's lock for one read-modify-write. Readers take no lock: every write
// replaces the store whole, so a reader sees the old store or the new one. The lock file
// lives only while a write holds it, so nothing is left behind, and nothing is made before
// the first write. A writer that locked a file another writer has removed meanwhile (it
// opened the name before the removal) finds the name gone or taken by a newer file and
// tries again, so that two writers never hold different files.
class WriteLock {
 public:
  explicit WriteLock(const std::string& store) : path_(store + ".lock") {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(store).parent_path(), ec);
    for (int attempt = 0; attempt < 1000; ++attempt) {
      fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
      if (fd_ < 0) return;  // no lock can be had here: the write itself reports the folder
      while (flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
      }
      struct stat held {
      }, named{};
      if (::fstat(fd_, &held) == 0 && ::stat(path_.c_str(), &named) == 0 &&
          held.st_dev == named.st_dev && held.st_ino == named.st_ino)
        return;
      ::close(fd_);
      fd_ = -1;
    }
  }
  ~WriteLock() {
    if (fd_ < 0) return;
    // Removed while still held: a writer waiting on this file sees it gone and starts over.
    ::unlink(path_.c_str());
    ::close(fd_);
  }
  WriteLock(const WriteLock&) = delete;
  WriteLock& operator=(const WriteLock&) = delete;

 private:
  std::string path_;
  int fd_ = -1;
};

Store Load(const std::string& file) {
  std::string content;
  if (!ReadTextFile(file, content)) return {};
  return Parse(content);
}

// The store as it is before a change. A store that exists but cannot be read is an error:
// writing back what could be read (nothing) would wipe every key in it.
Store LoadForChange(const std::string& file) {
  std::string content;
  const int err = ReadTextFileErrno(file, content);
  if (err == 0) return Parse(content);
  if (const std::string kind = NonFileKind(file); !kind.empty()) throw NotAFileError(file, kind);
  if (err == ENOENT || err == ENOTDIR) return {};  // no store yet: the change starts one
  throw FileError("Cannot read file", file, err);
}

template <typename Change>
void Modify(Change change) {
  const std::string file = Registry::StorePath();
  WriteLock lock(file);
  Store store = LoadForChange(file);
  change(store);
  WriteFileAtomically(file, Serialise(store));
}

std::string HomeFolder() {
  if (const char* h = std::getenv("HOME"); h && *h) return h;
  if (passwd* pw = getpwuid(getuid())) return pw->pw_dir;
  return "/";
}

std::string DataHome() {
  if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x) return x;
  return HomeFolder() + "/.local/share";
}

std::string DesktopFolder() {
  if (FILE* p = popen("xdg-user-dir DESKTOP 2>/dev/null", "r")) {
    char buf[4096];
    std::string out;
    while (size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
    pclose(p);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    if (!out.empty()) return out;
  }
  return HomeFolder() + "/Desktop";
}

std::string FullUserName() {
  passwd* pw = getpwuid(getuid());
  if (!pw || !pw->pw_gecos) return {};
  std::string gecos = pw->pw_gecos;
  return gecos.substr(0, gecos.find(','));
}

// The owner and organisation are answered under both places Windows keeps them.
const char* kCurrentVersion = "hkey_local_machine\\software\\microsoft\\windows nt\\currentversion";
const char* kCurrentVersion9x = "hkey_local_machine\\software\\microsoft\\windows\\currentversion";
const char* kShellFolders =
    "hkey_current_user\\software\\microsoft\\windows\\currentversion\\explorer\\shell folders";

// Values that Windows itself would answer when the store has none.
std::optional<std::string> SystemValue(const std::string& lowerPath, const std::string& name) {
  const std::string n = Lower(name);
  if (lowerPath == kCurrentVersion || lowerPath == kCurrentVersion9x) {
    if (n == "registeredowner") return FullUserName();
    if (n == "registeredorganization") return std::string();
  } else if (lowerPath == kShellFolders) {
    if (n == "desktop") return DesktopFolder();
    if (n == "programs") return DataHome() + "/applications";
  }
  return std::nullopt;
}

bool IsSystemKey(const std::string& lowerPath) {
  return lowerPath == kCurrentVersion || lowerPath == kCurrentVersion9x ||
         lowerPath == kShellFolders;
}

std::string Normalise(std::string key) {
  while (!key.empty() && key.front() == '\\') key.erase(key.begin());
  while (!key.empty() && key.back() == '\\') key.pop_back();
  return key;
}

[[noreturn]] void BadType(const std::string& name) {
  throw Exception("Invalid data type for '" + name + "'");
}

}  // namespace

std::string Registry::StorePath() {
  if (const char* p = std::getenv("VANDREL_REGISTRY"); p && *p) return p;
  std::string config;
  if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x)
    config = x;
  else
    config = HomeFolder() + "/.config";
  return config + "/vandrel/registry.ini";
}

std::string Registry::FullPath(const std::string& key) const {
  std::string k = Normalise(key);
  std::string base = RootName(root_);
  if (current_ && !key.empty() && key.front() != '\\') base = *current_;
  return k.empty() ? base : base + "\\" + k;
}

bool Registry::KeyExists(const std::string& key) const {
  const std::string path = Lower(FullPath(key));
  if (IsSystemKey(path) || path == Lower(RootName(root_))) return true;
  const std::string file = StorePath();
  Store store = Load(file);
  if (store.count(path)) return true;
  // A key that only has sub-keys exists too.
  auto it = store.lower_bound(path + "\\");
  return it != store.end() && it->first.compare(0, path.size() + 1, path + "\\") == 0;
}

bool Registry::OpenKey(const std::string& key, bool create) {
  const std::string path = FullPath(key);
  if (!KeyExists(key)) {
    if (!create) return false;
    Modify([&](Store& store) {
      Key& k = store[Lower(path)];
      if (k.path.empty()) k.path = path;
    });
  }
  current_ = path;
  return true;
}

void Registry::CloseKey() { current_.reset(); }

bool Registry::DeleteKey(const std::string& key) {
  const std::string path = Lower(FullPath(key));
  bool found = false;
  Modify([&](Store& store) {
    for (auto it = store.begin(); it != store.end();) {
      if (it->first == path || it->first.compare(0, path.size() + 1, path + "\\") == 0) {
        it = store.erase(it);
        found = true;
      } else {
        ++it;
      }
    }
  });
  return found;
}

std::vector<std::string> Registry::GetKeyNames() const {
  std::vector<std::string> names;
  if (!current_) return names;
  const std::string prefix = Lower(*current_) + "\\";
  const std::string file = StorePath();
  for (const auto& [lower, key] : Load(file)) {
    if (lower.compare(0, prefix.size(), prefix) != 0) continue;
    std::string rest = key.path.substr(prefix.size());
    rest = rest.substr(0, rest.find('\\'));
    if (std::find_if(names.begin(), names.end(),
                     [&](const std::string& n) { return Lower(n) == Lower(rest); }) == names.end())
      names.push_back(rest);
  }
  return names;
}

namespace {
std::optional<Value> Find(const std::optional<std::string>& current, const std::string& name) {
  if (!current) return std::nullopt;
  const std::string path = Lower(*current);
  const std::string file = Registry::StorePath();
  {
    Store store = Load(file);
    if (auto it = store.find(path); it != store.end())
      if (Value* v = it->second.find(name)) return *v;
    // The older CurrentVersion key shows what is stored under the NT one.
    if (path == kCurrentVersion9x && SystemValue(path, name))
      if (auto it = store.find(kCurrentVersion); it != store.end())
        if (Value* v = it->second.find(name)) return *v;
  }
  if (auto sys = SystemValue(path, name)) return Value{name, true, *sys, 0};
  return std::nullopt;
}
}  // namespace

bool Registry::ValueExists(const std::string& name) const {
  return Find(current_, name).has_value();
}

std::string Registry::ReadString(const std::string& name) const {
  auto v = Find(current_, name);
  if (!v) return {};  // an absent string value reads as empty
  if (!v->isString) BadType(name);
  return v->text;
}

int32_t Registry::ReadInteger(const std::string& name) const {
  auto v = Find(current_, name);
  if (!v || v->isString) BadType(name);
  return v->number;
}

bool Registry::ReadBool(const std::string& name) const { return ReadInteger(name) != 0; }

namespace {
void Put(const std::optional<std::string>& current, Value value) {
  if (!current) throw Exception("Failed to set data for '" + value.name + "'");
  Modify([&](Store& store) {
    Key& k = store[Lower(*current)];
    if (k.path.empty()) k.path = *current;
    if (Value* old = k.find(value.name))
      *old = value;
    else
      k.values.push_back(value);
  });
}
}  // namespace

void Registry::WriteString(const std::string& name, const std::string& value) {
  Put(current_, Value{name, true, value, 0});
}

void Registry::WriteInteger(const std::string& name, int32_t value) {
  Put(current_, Value{name, false, {}, value});
}

void Registry::WriteBool(const std::string& name, bool value) { WriteInteger(name, value ? 1 : 0); }

bool Registry::DeleteValue(const std::string& name) {
  if (!current_) return false;
  bool found = false;
  Modify([&](Store& store) {
    auto it = store.find(Lower(*current_));
    if (it == store.end()) return;
    auto& vals = it->second.values;
    auto v = std::find_if(vals.begin(), vals.end(),
                          [&](const Value& x) { return Lower(x.name) == Lower(name); });
    if (v != vals.end()) {
      vals.erase(v);
      found = true;
    }
  });
  return found;
}

}  // namespace vandrel
