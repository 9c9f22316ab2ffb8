// Orvane's JSON document about a printer whose every string is any bytes: its ID, identity,
// shared serial, place and refused node, its port and the port lookup's complaint, the version.
// Whatever they hold, the document must be one strict JSON document of ASCII (support/
// JsonCheck), and each printer's id in it the ID as LIST shows it, which PRINTER= takes.
//
// Input layout:
//   byte 0      bits 0-1: the printer's mode, 3: not read; bit 2: MODE of several printers;
//               bit 3: held by another program; bit 4: the ID has the system's separator
//   the rest    the strings, separated by NUL bytes: shown ID, identity, shared serial, place,
//               refused node, port, port complaint, version
#include "app/ConsoleReply.h"
#include "support/InputBytes.h"
#include "support/JsonCheck.h"
#include "support/Require.h"
#include "support/StdoutCapture.h"
#include "text/ModeText.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {
std::string Piece(const std::vector<std::string>& pieces, std::size_t index) {
    return index < pieces.size() ? pieces[index] : std::string();
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    CaptureStdout();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InputBytes input(data, size);
    const std::uint8_t flags = input.Take();
    const std::vector<std::string> pieces = SplitOnNul(input.Rest(), 8);

    PrinterReport printer;
    printer.listed = {Piece(pieces, 1),
                      Piece(pieces, 0),
                      IDNATIVETYPE,
                      Piece(pieces, 4),
                      (flags & 16) != 0 ? '\\' : '\0',
                      Piece(pieces, 2),
                      Piece(pieces, 3)};
    if ((flags & 3) != 3) {
        printer.mode = static_cast<UsbType>(flags & 3);
        printer.listed.mode = *printer.mode;
    }
    printer.inUse = (flags & 8) != 0;
    printer.port = {Piece(pieces, 5), Piece(pieces, 6)};
    if (pieces.size() <= 5) {
        printer.port.port.reset();
    }
    printer.refusal = printer.mode ? "" : kErrorOpeningUsb;
    ChangeReport change;
    change.printer = printer;
    change.after = printer.mode;
    change.port = printer.port;
    change.result = printer.mode ? RunResult::Changed : RunResult::NoPrinter;
    change.tookMs = flags * 1001ull;

    ClearCapturedStdout();
    ConsoleReply reply(true);
    reply.Version("orvane", Piece(pieces, 7));
    reply.List({printer});
    reply.Mode({printer}, (flags & 4) != 0, RunResult::Ok);
    reply.Change(change);
    reply.Finish();
    const std::string out = CapturedStdout();

    const std::optional<std::vector<JsonString>> strings = JsonStrings(out);
    Require(strings.has_value(), "the document is not one strict JSON document of ASCII");
    int ids = 0;
    for (std::size_t i = 0; i + 1 < strings->size(); ++i) {
        if ((*strings)[i].name && (*strings)[i] == "id") {
            Require((*strings)[i + 1] == ShownId(printer.listed),
                    "a printer's id is not the ID as LIST shows it");
            ++ids;
        }
    }
    Require(ids == 2, "the list and the change did not each name the printer");
    return 0;
}
