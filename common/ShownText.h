// Text that came from a device or the registry, made safe to show. A device chooses its own
// strings: a serial number may hold tabs, escape sequences or bytes of any kind, and must
// neither steer a terminal nor break a line apart. Every byte outside printable ASCII, and the
// backslash itself, is shown as \xNN (upper-case hex), so that the shown text is plain ASCII
// and names the raw text without ambiguity; UTF-8 letters are escaped too, on every terminal,
// so that a printer is named the same way wherever its name is shown or typed. A shown field
// holds at most kShownFieldLimit characters; a longer one is cut there and ends in "...".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

constexpr std::size_t kShownFieldLimit = 128;

// `separator`, when given, is a character of the system's own within the text (the backslash of
// a Windows device instance ID): it is shown as it is.
std::string ShowDeviceText(std::string_view raw, char separator = '\0');

// Only the bytes outside printable ASCII escaped, without a bound: for the trace, where a device
// path arrives whole with its backslashes (the system's own), and for what the user typed.
std::string EscapeUnprintable(std::string_view raw);
