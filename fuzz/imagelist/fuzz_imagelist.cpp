// Feeds arbitrary bytes to the reader of an image list (".lst"). A list either reads or
// raises an Exception; what reads is written back and must read back the same, never a
// crash, a hang or a runaway allocation.
#include <cstdint>
#include <cstdlib>

#include "app/analysis/model/ImageListFile.h"
#include "fuzz/support/FuzzFiles.h"
#include "platform/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = vandrel::fuzz::Folder().Write(
      "x.lst", std::string_view(reinterpret_cast<const char*>(data), size));
  try {
    const std::vector<std::string> paths = vandrel::ReadImageList(path);
    const std::string again = vandrel::fuzz::Folder() / "again.lst";
    vandrel::WriteImageList(again, paths);
    if (vandrel::ReadImageList(again) != paths) std::abort();
  } catch (const vandrel::Exception&) {
  }
  return 0;
}
