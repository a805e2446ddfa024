// Paths that are not regular files (a named pipe without a writer, a device behind a link
// with a picture's name, a folder, a socket) given to the picture loader and to every
// reader of the program's own files: each is refused at once with a message naming what it
// is; nothing blocks, nothing reads on without end, nothing grows. A test that blocked would
// hang here instead of failing.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "app/imaging/model/GreyImage.h"
#include "app/thresholds/model/ThresholdFiles.h"
#include "codecs/gif/GifImage.h"
#include "codecs/tiff/TiffImage.h"
#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "platform/IniFile.h"
#include "platform/PictureLoader.h"
#include "platform/Registry.h"
#include "platform/TextFile.h"
#include "tests/support/AllocationCeiling.h"
#include "tests/support/TempDir.h"

namespace vandrel::testing {
namespace {

struct NotAFile {
  std::string path, kind;
};

// One of each kind, under every name a reader of the program looks for.
class NotAFileTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterTiffFormat(), RegisterGifFormat(); }
  void TearDown() override {
    if (socket_ >= 0) ::close(socket_);
  }

  std::vector<NotAFile> Make(const std::string& extension) {
    std::vector<NotAFile> out;
    const std::string pipe = dir / ("pipe." + extension);
    EXPECT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    out.push_back({pipe, "a named pipe"});
    for (const char* device : {"/dev/zero", "/dev/null"}) {
      const std::string link = dir / (std::string(device + 5) + "." + extension);
      std::filesystem::create_symlink(device, link);
      out.push_back({link, "a device"});
    }
    const std::string folder = dir / ("folder." + extension);
    std::filesystem::create_directory(folder);
    out.push_back({folder, "a folder"});
    const std::string socket = dir / ("socket." + extension);
    socket_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    EXPECT_LT(socket.size(), sizeof address.sun_path);
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socket.c_str());
    EXPECT_EQ(::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    out.push_back({socket, "a socket"});
    return out;
  }

  // Runs `read` on every kind of path under `extension`, within a small allocation
  // ceiling; `check` looks at what it gave.
  void ForEach(const std::string& extension, const std::function<void(const NotAFile&)>& read) {
    for (const NotAFile& f : Make(extension)) {
      SCOPED_TRACE(f.path);
      const AllocationCeiling ceiling(1 << 20);
      read(f);
      if (AllocationCeiling::Measures()) {
        EXPECT_LT(ceiling.Peak(), 1 << 16);
      }
      std::filesystem::remove(f.path);
    }
  }

  static std::string Message(const NotAFile& f) {
    return "Cannot open file \"" + f.path + "\". It is " + f.kind + ", not a file";
  }

  // The reader raises EInOutError with the message naming what the path is.
  static void ExpectRefused(const NotAFile& f, const std::function<void()>& read) {
    try {
      read();
      ADD_FAILURE() << "it was read";
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.what(), Message(f));
    }
  }

  TempDir dir;
  int socket_ = -1;
};

TEST_F(NotAFileTest, ThePictureLoaderRefusesThemForEveryFormat) {
  for (const char* extension : {"bmp", "tif", "TIFF", "gif", "jpg", "jpeg"})
    ForEach(extension, [](const NotAFile& f) { ExpectRefused(f, [&] { LoadPicture(f.path); }); });
}

TEST_F(NotAFileTest, TheReadersOfTheProgramsOwnFilesRefuseThem) {
  // Text files (.his, .pat, .pac, .err, .lst, .vol), the raw image, threshold and palette
  // files, and the palette picture.
  ForEach("his", [](const NotAFile& f) { ExpectRefused(f, [&] { TextReader reader(f.path); }); });
  ForEach("grey", [](const NotAFile& f) {
    Bitmap image;
    ExpectRefused(f, [&] { ReadGrey(f.path, GreyRamp(), image); });
  });
  ForEach("als", [](const NotAFile& f) { ExpectRefused(f, [&] { LerArquivoLimiares(f.path); }); });
  ForEach("pcs", [](const NotAFile& f) { ExpectRefused(f, [&] { LerArquivoPaleta(f.path); }); });
  ForEach("plt", [](const NotAFile& f) { ExpectRefused(f, [&] { ReadWholeFile(f.path); }); });
}

TEST_F(NotAFileTest, TheSettingsAndTheRegistryStoreReadThemAsAbsent) {
  // The configuration file reads as empty (every key its default), and a change refuses to
  // replace what it could not read.
  ForEach("ini", [](const NotAFile& f) {
    std::string content;
    EXPECT_FALSE(ReadTextFile(f.path, content));
    IniFile ini(f.path);
    EXPECT_EQ(ini.ReadString("caixa_sobre", "mostrar_inicio", "padrão"), "padrão");
  });
  const char* before = std::getenv("VANDREL_REGISTRY");
  const std::string saved = before ? before : "";
  ForEach("store", [](const NotAFile& f) {
    ::setenv("VANDREL_REGISTRY", f.path.c_str(), 1);
    Registry registry(RegRoot::HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(registry.KeyExists("Software\\Vandrel"));
  });
  if (before)
    ::setenv("VANDREL_REGISTRY", saved.c_str(), 1);
  else
    ::unsetenv("VANDREL_REGISTRY");
}

}  // namespace
}  // namespace vandrel::testing
