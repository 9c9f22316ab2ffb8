// Orvane.exe's entry: framework start-up, then the console face or the dialog face.
#pragma once

#include "gui/DialogFace.h"

int RunOrvane(int argc, char* argv[], DialogFace& dialog);
