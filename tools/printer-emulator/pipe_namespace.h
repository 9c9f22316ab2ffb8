// Where a printer's device paths lead, and what serves "<path>\PIPE00" and "<path>\PIPE01"
// there, from the printer's start to its end.
#pragma once

#include <string>
#include <string_view>

class PipeNamespace {
  public:
    virtual ~PipeNamespace() = default;
    // The object the printer's links point at, like "\Device\NamedPipe".
    virtual std::wstring_view link_target() const = 0;
    // Returns once both pipes can be opened through a link to link_target().
    virtual bool start(std::string& error) = 0;
    // Waits (bounded) for whatever serves the pipes; the stop event must be set.
    virtual void join() = 0;
};
