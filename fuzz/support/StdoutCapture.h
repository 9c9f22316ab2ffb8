// Standard output of the code under test, kept for inspection rather than printed: the
// console face reports through it, and thousands of runs a second would flood the terminal.
#pragma once

#include <string>

// Sends standard output to an unnamed temporary file for the rest of the process.
void CaptureStdout();
// Forgets what was written so far.
void ClearCapturedStdout();
// What was written since the last clear.
std::string CapturedStdout();
// True when `text` holds `line` as one whole line.
bool HasLine(const std::string& text, const std::string& line);
