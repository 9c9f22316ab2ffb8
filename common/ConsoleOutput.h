// Whole lines to the console. Each line is flushed at once, so output and trace interleave
// in the order they happened and nothing is lost if the process is ended.
//
// Every line to standard output is checked here, the one place that writes it: a line that did
// not reach its file (a full disk, a closed stream, an I/O error) is remembered, and the face
// says so when its work is done (OutputFailure). A line to standard error is not checked: there
// is nowhere left to say that it was lost.
#pragma once

#include <optional>
#include <string>

void PrintLine(const std::string& line);
void PrintErrorLine(const std::string& line);

// Why standard output lost a line since the last call, in the C runtime's words ("No space
// left on device"); nothing when every line reached it. The call forgets it.
std::optional<std::string> TakeOutputFailure();
