// The PRINTER= choice matched against the attached printers.
#pragma once

#include "device/PrinterBackend.h"

#include <string>
#include <vector>

// The printer that `choice` names: a whole shown ID or an identity (both without regard to
// case), or else a number of the list, counted from 1. nullptr when it names none.
const AttachedPrinter* FindChosenPrinter(const std::vector<AttachedPrinter>& printers,
                                         const std::string& choice);
