// Which printer an operation reaches. The command line's choice is made once, from the list of
// attached printers, before anything is opened; every operation then keeps to that printer.
#pragma once

#include <string>
#include <string_view>

class PrinterTarget {
  public:
    // The listed printer with this identity.
    static PrinterTarget Listed(std::string identity) { return PrinterTarget(std::move(identity)); }
    // When the list named no printer at all, the probe still looks: the first printer its search
    // meets is then the one, and the operation keeps to it from there on.
    static PrinterTarget FirstFound() { return PrinterTarget(std::string()); }

    // Whether a printer with this identity is the one meant (identities compare without regard
    // to case: Windows shows device paths in either case).
    bool Matches(std::string_view identity) const;
    bool IsListed() const { return !m_identity.empty(); }
    const std::string& identity() const { return m_identity; }

  private:
    explicit PrinterTarget(std::string identity) : m_identity(std::move(identity)) {}
    std::string m_identity; // empty: the first found
};
