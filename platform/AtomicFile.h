#pragma once
// Replacing a file in one piece: the bytes go to a temporary file beside it, which is then
// renamed over the old one. A failure (missing or read-only folder, read-only file, full
// disk) leaves the old file as it was, removes the temporary file and raises EInOutError.
// Every routine of the program that writes a whole file goes through here. A path that is a
// symbolic link stays one: the file it points at is the one replaced.
//
// A writer killed part-way (the program ended, the machine losing power) leaves the old
// file or the new one, complete. The temporary file has no name until all its bytes are
// written, so a write cut short leaves nothing behind. Where the file system has no such
// files, or in the instant between naming the file and the rename, a temporary file can stay
// behind; the next write into that folder removes the ones whose writer is gone. Only files
// of this writer's own naming are ever removed.
#include <cstddef>
#include <string>
#include <string_view>

namespace vandrel {

// How a failure of WriteFileAtomically reads.
enum class WriteErrors {
  kNamingTheFile,  // Cannot create file "<path>". Disk full
  kRuntimeText,    // Disk full (the runtime's text alone, as closing a text file raises it)
};

// Writes `bytes` as the whole content of `path`. A replaced file keeps its permissions; a
// new one gets the usual ones (0666 less the umask). A folder or a file that may not be
// written in the place of `path` is an error, as is a folder that does not exist.
void WriteFileAtomically(const std::string& path, std::string_view bytes,
                         WriteErrors errors = WriteErrors::kNamingTheFile);

// 0 when WriteFileAtomically may create or replace `path`, else the errno value that stops
// it: EISDIR for a folder in its place, EACCES for a file or folder that may not be
// written, ENOTDIR for a folder on the way that does not exist.
int ReplaceFileErrno(const std::string& path);

// Whether temporary files start without a name (the default). Off, every write goes the way
// file systems without unnamed files take; for tests of that way.
void UseUnnamedTemporaryFiles(bool use);

// The steps of a write, in their order. kPieceWritten comes after every piece of the bytes,
// kWritten once all of them are on disk, kNamed once the temporary file has its name and
// is about to be renamed over the target, kReplaced after that rename.
enum class WriteStep { kStarting, kOpened, kPieceWritten, kWritten, kNamed, kReplaced };

// Called at every step of every write of this process, with the bytes written so far; none
// by default. For tests that stop a writer at a chosen point of a write.
using WriteStepHook = void (*)(WriteStep step, size_t written);
void SetWriteStepHook(WriteStepHook hook);

// Reads a whole regular file as text (at most the readers' budget, and what the file held
// when it was opened); false when it does not exist, is not a regular file (a folder, a
// pipe, a device) or cannot be read.
bool ReadTextFile(const std::string& path, std::string& out);
// The same with the errno value of the failure, 0 on success (EISDIR for a path that is
// not a regular file).
int ReadTextFileErrno(const std::string& path, std::string& out);

}  // namespace vandrel
