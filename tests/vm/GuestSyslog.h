// The guest's /dev/log, served by the tests themselves: no syslog daemon runs in the guest, so
// what orvane hands syslog(3) arrives here, one datagram per record. The first call binds it.
#pragma once

#include <string>
#include <vector>

// The records that arrived since the last call, each "<info|warning|error> <text>" when it came
// from orvane at one of those levels, else "unexpected <datagram>".
std::vector<std::string> TakeGuestSyslog();
// Fills the socket's queue, as a daemon that stopped reading leaves it, until the next Take.
void StallGuestSyslog();
