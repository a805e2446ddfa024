#include "platform/DesktopTypes.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <sstream>
#include <vector>

#include "platform/AtomicFile.h"
#include "platform/IoError.h"
#include "platform/Process.h"
#include "platform/ShellLink.h"
#include "platform/WindowsFolder.h"

namespace vandrel {

namespace {

constexpr const char* kEntryName = "vandrel.desktop";
constexpr const char* kTextEditor = "notepad";
constexpr const char* kDocumentField = " %1";

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return text;
}

std::string XmlText(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// ".HIS" -> "his".
std::string BareExtension(const std::string& extension) {
  return Lower(!extension.empty() && extension[0] == '.' ? extension.substr(1) : extension);
}

void MakeFolders(const std::string& folder) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) throw FileError("Cannot create folder", folder, ec.value());
}

// The text of `path`, empty when it does not exist; a file that is there but cannot be
// read is an error, so that nobody replaces what it holds.
std::string ReadExisting(const std::string& path) {
  std::string text;
  if (ReadTextFile(path, text)) return text;
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 && errno == ENOENT) return {};
  throw FileError("Cannot read file", path, ::access(path.c_str(), R_OK) != 0 ? errno : EIO);
}

// Writes `text` to `path` unless the file holds it already, so that installing again
// touches nothing that stays the same. True when it was written.
bool WriteIfChanged(const std::string& path, const std::string& text) {
  if (ReadExisting(path) == text) return false;
  WriteFileAtomically(path, text);
  return true;
}

// The time `path` was last changed, -1 when it does not exist.
long long ChangedAt(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return -1;
  return (long long)st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += line + "\n";
  return out;
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool IsGroup(const std::string& line) { return !Trimmed(line).empty() && Trimmed(line)[0] == '['; }

// Sets key=value in group `group` of a desktop-style key file, leaving every other line
// as it was: the key's line is replaced where the group has it (or kept, with
// `keepExisting`), else added at the group's end; a missing group is added at the end of
// the file.
std::string SetKey(const std::string& text, const std::string& group, const std::string& key,
                   const std::string& value, bool keepExisting) {
  std::vector<std::string> lines = Lines(text);
  const std::string line = key + "=" + value;
  size_t i = 0;
  while (i < lines.size() && Trimmed(lines[i]) != "[" + group + "]") ++i;
  if (i == lines.size()) {
    if (!lines.empty() && !Trimmed(lines.back()).empty()) lines.push_back("");
    lines.push_back("[" + group + "]");
    lines.push_back(line);
    return Joined(lines);
  }
  size_t end = i + 1, last = i;  // last: the group's last line that is not blank
  for (; end < lines.size() && !IsGroup(lines[end]); ++end) {
    const std::string t = Trimmed(lines[end]);
    if (!t.empty()) last = end;
    const size_t eq = t.find('=');
    if (eq != std::string::npos && Trimmed(t.substr(0, eq)) == key) {
      if (!keepExisting) lines[end] = line;
      return Joined(lines);
    }
  }
  lines.insert(lines.begin() + std::ptrdiff_t(last + 1), line);
  return Joined(lines);
}

// The types listed on the MimeType line of the program's entry.
std::vector<std::string> ListedTypes(const std::string& entry) {
  std::vector<std::string> types;
  for (const std::string& line : Lines(entry)) {
    if (line.rfind("MimeType=", 0) != 0) continue;
    std::string item;
    for (char c : line.substr(9) + ";") {
      if (c != ';') {
        item += c;
      } else if (!item.empty()) {
        types.push_back(item);
        item.clear();
      }
    }
  }
  return types;
}

std::string PackagesFolder() { return UserDataFolder() + "/mime/packages"; }

// A shared-mime-info package of one type; `body` holds the type's elements.
std::string TypePackage(const std::string& type, const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
         "  <mime-type type=\"" +
         XmlText(type) + "\">\n" + body +
         "  </mime-type>\n"
         "</mime-info>\n";
}

// A glob above the usual weight: a name the program takes over (".pat" is also GIMP's
// patterns, ".med" a music module) is the program's, as the class's extension key says.
std::string Glob(const std::string& pattern, bool caseSensitive = false) {
  return "    <glob pattern=\"" + XmlText(pattern) + "\" weight=\"60\"" +
         (caseSensitive ? " case-sensitive=\"true\"" : "") + "/>\n";
}

void WriteTypeDefinition(const std::string& type, const std::string& extension,
                         const std::string& description, bool text) {
  const std::string folder = PackagesFolder();
  MakeFolders(folder);
  std::string body = "    <comment>" + XmlText(description) + "</comment>\n";
  if (text) body += "    <sub-class-of type=\"text/plain\"/>\n";
  body += Glob("*." + extension);
  WriteIfChanged(folder + "/vandrel-" + extension + ".xml", TypePackage(type, body));
}

// The program as the entry's Exec names it. The desktop's generic opener (xdg-open outside
// a desktop session) reads Exec by itself, a word at a time, and cannot start a program
// whose path needs quoting (a blank in a folder name): such a program is named through a
// link of ours in the user's data folder, whose path needs none. The program started
// through it still finds its own folder, as the link is followed.
std::string ExecProgram(const std::string& program) {
  if (QuoteExecWord(program) == program) return program;
  const std::string folder = UserDataFolder() + "/vandrel/bin";
  const std::string link = folder + "/Vandrel";
  if (QuoteExecWord(link) != link) return program;
  MakeFolders(folder);
  // Never in the place of something that is not our link.
  struct stat st {};
  if (::lstat(link.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) return program;
  std::error_code ec;
  const std::filesystem::path target = std::filesystem::absolute(program, ec);
  if (!ec && S_ISLNK(st.st_mode) && std::filesystem::read_symlink(link, ec) == target && !ec)
    return link;
  const std::string fresh = link + ".new";
  ::unlink(fresh.c_str());
  if (ec || ::symlink(target.c_str(), fresh.c_str()) != 0 ||
      ::rename(fresh.c_str(), link.c_str()) != 0) {
    const int err = ec ? ec.value() : errno;
    ::unlink(fresh.c_str());
    throw FileError("Cannot write file", link, err);
  }
  return link;
}

// Adds `type` to the program's entry, which starts `program` with the document.
void ListInProgramEntry(const std::string& program, const std::string& type) {
  const std::string folder = UserDataFolder() + "/applications";
  MakeFolders(folder);
  const std::string file = folder + "/" + kEntryName;
  std::vector<std::string> types = ListedTypes(ReadExisting(file));
  bool listed = false;
  for (const std::string& t : types) listed = listed || t == type;
  if (!listed) types.push_back(type);
  std::string mime;
  for (const std::string& t : types) mime += t + ";";
  // The entry opens documents; the menu shows the program through its own shortcut.
  std::error_code ec;
  const std::string absolute = std::filesystem::absolute(program, ec).string();
  const std::string entry =
      "[Desktop Entry]\nType=Application\nName=Vandrel\nComment=" +
      EscapeDesktopValue(kProgramComment) +
      "\nExec=" + EscapeDesktopValue(QuoteExecWord(ExecProgram(program)) + " %f") +
      "\nTryExec=" + EscapeDesktopValue(ec ? program : absolute) + "\nIcon=" + kProgramIcon +
      "\nTerminal=false\nCategories=" + kProgramCategories +
      "\nStartupWMClass=" + kProgramWindowClass + "\nNoDisplay=true\nMimeType=" + mime + "\n";
  WriteIfChanged(file, entry);
}

// Makes the program's entry the default for `type`; with `keepExisting` a default the
// user already has stays.
void MakeDefault(const std::string& type, bool keepExisting = false) {
  const std::string folder = UserConfigFolder();
  MakeFolders(folder);
  const std::string file = folder + "/mimeapps.list";
  const std::string before = ReadExisting(file);
  const std::string after = SetKey(before, "Default Applications", type, kEntryName, keepExisting);
  if (after != before) WriteFileAtomically(file, after);
}

bool IsTypeName(const std::string& text) {
  const size_t slash = text.find('/');
  if (slash == 0 || slash == std::string::npos || slash + 1 == text.size() ||
      text.find('/', slash + 1) != std::string::npos)
    return false;
  for (char c : text)
    if (c <= ' ' || c == '=' || c == ';' || c == '[' || c == ']') return false;
  return true;
}

// Outside a desktop session the generic opener asks the `mimetype` tool for a document's
// type, and that tool lets the system's types win over the user's for an extension
// (".pat" stays GIMP's patterns there, whatever weight ours has). The type it answers for
// an extension the program opens gets the program as its default too, unless the user
// has a default for it already, so that the document still opens in the program.
void DefaultForTheGenericToolsTypes() {
  const std::string tool = FindInPath("mimetype");
  if (tool.empty()) return;
  const std::string prefix = DesktopMimeType("");
  const std::string entry = UserDataFolder() + "/applications/" + kEntryName;
  for (const std::string& type : ListedTypes(ReadExisting(entry))) {
    if (type.rfind(prefix, 0) != 0) continue;
    // A name that is nowhere on disk: the tool answers from the name alone.
    const std::string probe = PackagesFolder() + "/vandrel-none/x." + type.substr(prefix.size());
    std::string seen;
    if (!RunAndRead(tool, {"--brief", probe}, seen)) continue;
    seen = Trimmed(seen.substr(0, seen.find('\n')));
    if (seen != type && IsTypeName(seen)) MakeDefault(seen, true);
  }
}

// Runs a database tool of the desktop on `folder` when it is installed; one that fails
// leaves the desktop without what the files say, and that is an error.
void RunIfInstalled(const char* tool, std::vector<std::string> words, const std::string& folder) {
  const std::string program = FindInPath(tool);
  if (program.empty()) return;
  words.push_back(folder);
  std::string output;
  if (!RunAndRead(program, words, output))
    throw EInOutError("Cannot update folder \"" + folder + "\" (" + tool + " failed)");
}

// True when `product` is missing or older than one of the `sources` (files of ours it is
// built from), so that a database that an earlier run could not build is built again.
bool Stale(const std::string& product, const std::vector<std::string>& sources) {
  const long long made = ChangedAt(product);
  for (const std::string& source : sources)
    if (made < 0 || ChangedAt(source) > made) return true;
  return made < 0;
}

std::vector<std::string> OurFiles(const std::string& folder, const std::string& prefix) {
  std::vector<std::string> files;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    if (it->path().filename().string().rfind(prefix, 0) == 0) files.push_back(it->path().string());
  return files;
}

}  // namespace

std::string DesktopMimeType(const std::string& extension) {
  return "application/x-vandrel-" + BareExtension(extension);
}

void RegisterDesktopFileType(const std::string& extension, const std::string& description,
                             const std::string& command) {
  const std::string type = DesktopMimeType(extension);
  const std::string bare = BareExtension(extension);
  // The command names its program in front of the document, without quotes.
  std::string program = command;
  if (program.size() > 3 && program.compare(program.size() - 3, 3, kDocumentField) == 0)
    program.resize(program.size() - 3);
  const bool text = program == kTextEditor;
  WriteTypeDefinition(type, bare, description, text);
  if (program.empty() || text) return;
  ListInProgramEntry(program, type);
  MakeDefault(type);
}

void RefreshDesktopDatabases() {
  const std::string data = UserDataFolder();
  MakeFolders(data + "/mime");
  MakeFolders(data + "/applications");
  // Each database is built again when one of our files is newer than it.
  if (Stale(data + "/mime/mime.cache", OurFiles(PackagesFolder(), "vandrel-")))
    RunIfInstalled("update-mime-database", {}, data + "/mime");
  if (Stale(data + "/applications/mimeinfo.cache", {data + "/applications/" + kEntryName}))
    RunIfInstalled("update-desktop-database", {}, data + "/applications");
  DefaultForTheGenericToolsTypes();
}

bool InstallDesktopIcon(const std::string& file, const std::string& bytes) {
  const std::string path = UserDataFolder() + "/icons/" + file;
  MakeFolders(FolderOf(path));
  return WriteIfChanged(path, bytes);
}

void RefreshIconCaches() {
  const std::string theme = UserDataFolder() + "/icons/hicolor";
  // The desktop's own tool tells running desktops and renews a cache where there is one.
  const std::string tool = FindInPath("xdg-icon-resource");
  if (!tool.empty()) {
    std::string output;
    if (!RunAndRead(tool, {"forceupdate", "--mode", "user"}, output))
      throw EInOutError("Cannot update folder \"" + theme + "\" (xdg-icon-resource failed)");
    return;
  }
  // A cache older than the icons hides them from the desktops that read it; none is made
  // where there was none.
  struct stat st {};
  if (::stat((theme + "/icon-theme.cache").c_str(), &st) == 0)
    RunIfInstalled("gtk-update-icon-cache", {"-f", "-t"}, theme);
}

bool RegisterDesktopHtmlFile(const std::string& name) {
  const std::string folder = PackagesFolder();
  const std::string file = folder + "/vandrel-" + Lower(name) + ".xml";
  // Spelt exactly: the generic type tool looks a whole name up in the letters it has, and
  // a glob of any case is kept in small letters.
  const std::string package = TypePackage("text/html", Glob(name, true));
  if (ReadExisting(file) == package) return false;
  MakeFolders(folder);
  return WriteIfChanged(file, package);
}

}  // namespace vandrel
