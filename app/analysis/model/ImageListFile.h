#pragma once
// The image-list file (".lst"): the batch of images of an analysis as text, the count of
// entries on the first line and one full image path on each following line, every line
// ended by CR LF. The histogram control reads the same files.
#include <functional>
#include <string>
#include <vector>

namespace vandrel {

// Reads an image list: an integer from the start of the file (blanks and line ends before
// it skipped), the rest of that line dropped, then one entry per whole line, handed to
// `entry` as it is read, so that what was read before an error stays with the caller. A
// count that is not a number raises "Invalid numeric input"; a count of 0 or below gives no
// entry; lines after the last entry are ignored. The file decides how much is read: a count
// beyond the lines that follow ends at the end of the file, so a damaged count never makes
// entries out of nothing.
void ReadImageList(const std::string& path, const std::function<void(std::string)>& entry);
std::vector<std::string> ReadImageList(const std::string& path);

// Writes an image list with `paths` in order, replacing the file in one piece. A path that
// the format cannot hold (one with a line end or a Ctrl-Z, which would come back as other
// entries or end the list) raises an Exception before anything is written.
void WriteImageList(const std::string& path, const std::vector<std::string>& paths);

// The file a list is saved to, from the name chosen in the save dialog and the filter
// chosen there (1: lists, 2: text files): the name itself when the extension of its file
// name is exactly ".lst" (".txt" for the second filter), letter case included, else the name
// with that extension appended.
std::string ImageListTarget(const std::string& chosen, int filterIndex);

}  // namespace vandrel
