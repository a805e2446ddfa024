#pragma once
// Replacing a file in one piece: the bytes go to a temporary file beside it, which is then
// renamed over the old one. A failure (read-only folder, full disk) leaves the old file as
// it was and raises EInOutError.
#include <string>
#include <string_view>

namespace vandrel {

void WriteFileAtomically(const std::string& path, std::string_view bytes);

// Reads a whole file as text; false when it does not exist or cannot be read.
bool ReadTextFile(const std::string& path, std::string& out);

}  // namespace vandrel
