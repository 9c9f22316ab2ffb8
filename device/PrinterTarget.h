// Which printer an operation reaches. The command line's choice is made once, from the list of
// attached printers, before anything is opened; every operation then keeps to that printer.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// A printer is "the first found" or "the printer named N"; an empty N is a name like any other
// (a device may name itself with nothing), never "any printer".
class PrinterTarget {
  public:
    // The listed printer with this identity.
    static PrinterTarget Listed(std::string identity) { return PrinterTarget(std::move(identity)); }
    // When the list named no printer at all, the probe still looks: the first printer its search
    // meets is then the one, and the operation keeps to it from there on.
    static PrinterTarget FirstFound() { return PrinterTarget(std::nullopt); }

    // Whether a printer with this identity is the one meant (identities compare without regard
    // to case: Windows shows device paths in either case).
    bool Matches(std::string_view identity) const;
    bool IsListed() const { return m_identity.has_value(); }
    // The name of a listed printer; empty for the first found.
    const std::string& identity() const;

  private:
    explicit PrinterTarget(std::optional<std::string> identity) : m_identity(std::move(identity)) {}
    std::optional<std::string> m_identity; // nullopt: the first found
};
