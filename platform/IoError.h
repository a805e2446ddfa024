#pragma once
// The runtime's input/output errors for what the operating system answers (an errno value)
// when a file is opened, read or written. Every file routine of the program reports its
// failures through these, so one failure reads the same wherever it happens.
//
// Texts: "File not found", "Invalid filename", "Too many open files", "File access
// denied", "Disk full", and "I/O error N" (N the errno value) for anything else.
#include <string>
#include <string_view>

#include "platform/Errors.h"

namespace vandrel {

// The runtime's text for an errno value.
std::string InOutErrorText(int errnoValue);

// EInOutError carrying InOutErrorText(errnoValue).
EInOutError InOutError(int errnoValue);

// The errno value to report for a failed open or create of `path`: a missing folder on the
// way (ENOENT while the folder does not exist) is the runtime's "path not found", which
// reads "Invalid filename"; a missing file in an existing folder stays "File not found".
int OpenErrno(int errnoValue, const std::string& path);

// EInOutError for a failed open or create: InOutError(OpenErrno(errnoValue, path)).
EInOutError OpenError(int errnoValue, const std::string& path);

// EInOutError naming the file an operation failed on, in the form
//   Cannot create file "<path>". Disk full
// where `what` is the operation ("Cannot create file", "Cannot write file").
EInOutError FileError(std::string_view what, const std::string& path, int errnoValue);

// The folder part of a path: "." for a bare name, "/" for a file in the root.
std::string FolderOf(const std::string& path);

}  // namespace vandrel
