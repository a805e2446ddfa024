// Feeds arbitrary bytes to the registry store and reads what the program and the installer
// read from it; then writes the program's mode value, which must read back while the other
// values of its key read as before. Never a crash, a hang or a runaway allocation.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "fuzz/support/FuzzFiles.h"
#include "platform/Errors.h"
#include "platform/Registry.h"

namespace {

const char* kKey = "Software\\Vandrel";
const char* kModo = "Modo de Analise";
constexpr std::array<const char*, 5> kNames = {"SplashScreen", "MainDir", "UserName",
                                               "Organization", ""};

// A value as text, its type included, or nothing when absent.
std::optional<std::string> Shown(const vandrel::Registry& reg, const char* name) {
  if (!reg.ValueExists(name)) return std::nullopt;
  try {
    return "s" + reg.ReadString(name);
  } catch (const vandrel::Exception&) {
    return "i" + std::to_string(reg.ReadInteger(name));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const vandrel::fuzz::FuzzFolder& folder = vandrel::fuzz::Folder();
  static const bool ready = ::setenv("VANDREL_REGISTRY", (folder / "store.ini").c_str(), 1) == 0;
  if (!ready) std::abort();
  folder.Write("store.ini", std::string_view(reinterpret_cast<const char*>(data), size));

  for (vandrel::RegRoot root :
       {vandrel::RegRoot::HKEY_LOCAL_MACHINE, vandrel::RegRoot::HKEY_CLASSES_ROOT}) {
    vandrel::Registry reg(root);
    if (reg.OpenKey("", false)) reg.GetKeyNames();
  }
  vandrel::Registry reg(vandrel::RegRoot::HKEY_LOCAL_MACHINE);
  if (reg.OpenKey(kKey, false)) {
    try {
      reg.ReadBool(kModo);
    } catch (const vandrel::Exception&) {
    }
  }
  std::array<std::optional<std::string>, kNames.size()> before;
  if (!reg.OpenKey(kKey, true)) std::abort();
  for (size_t k = 0; k < kNames.size(); ++k) before[k] = Shown(reg, kNames[k]);
  reg.WriteBool(kModo, true);
  if (!reg.ReadBool(kModo)) std::abort();
  for (size_t k = 0; k < kNames.size(); ++k)
    if (Shown(reg, kNames[k]) != before[k]) std::abort();
  return 0;
}
