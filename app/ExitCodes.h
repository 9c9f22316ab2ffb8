// Process exit codes of the console face.
#pragma once

constexpr int kExitOk = 0;
constexpr int kExitFrameworkFailed = 1;
constexpr int kExitNoPrinter = 2;
constexpr int kExitRestartTimeout = 3;
