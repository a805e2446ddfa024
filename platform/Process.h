#pragma once
// Starting another program and waiting for it to end.
#include <string>
#include <vector>

namespace vandrel {

// Splits a parameter text into words as a Windows program's runtime splits its command
// line: blanks and tabs separate words; double quotes group text, blanks included, and are
// dropped; 2n backslashes before a quote give n backslashes and the quote groups, 2n + 1
// give n backslashes and a literal quote; other backslashes are literal.
std::vector<std::string> SplitCommandLine(const std::string& parameters);

// Starts the program file `program` with `parameters` split into words, with the program's
// own folder as its current folder, and waits without limit for it to end. True when the
// program started (whatever it then returned); false when it could not be started (a
// missing or non-executable file, a missing folder).
bool StartAndWait(const std::string& program, const std::string& parameters);

// The same with the words given one by one, so that none is split or loses its quotes.
bool StartAndWait(const std::string& program, std::vector<std::string> words);

// Runs `program` with `words` (in the current folder), waits for it to end and gives what
// it wrote to its standard output. False when it could not be started or did not end
// normally with code 0; `output` then holds what it wrote before.
bool RunAndRead(const std::string& program, std::vector<std::string> words, std::string& output);

// The program file `name` as the shell finds it in the folders of $PATH; empty when none
// of them holds an executable file of that name.
std::string FindInPath(const std::string& name);

}  // namespace vandrel
