// The console's answer to LIST.
#pragma once

#include "app/ConsoleContext.h"
#include "app/ConsoleReply.h"

// Every attached printer, numbered from 1 in the probe's order, with its mode as listed and,
// in comm class mode, its port; no printer is opened.
void ListPrinters(ConsoleContext& context, ConsoleReply& reply);
