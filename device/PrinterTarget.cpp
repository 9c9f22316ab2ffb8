#include "device/PrinterTarget.h"

#include "common/TextCase.h"

bool PrinterTarget::Matches(std::string_view identity) const {
    return m_identity.empty() || EqualIgnoringCase(identity, m_identity);
}
