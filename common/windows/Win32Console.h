// What the console face needs to know about its console on Windows.
#pragma once

// True when the standard error stream is a console window, not a file or a pipe.
bool StderrIsConsole();
