// Whole lines to the console. Each line is flushed at once, so output and trace interleave
// in the order they happened and nothing is lost if the process is ended.
#pragma once

#include <string>

void PrintLine(const std::string& line);
void PrintErrorLine(const std::string& line);
