#include "device/PrinterTarget.h"

#include "common/TextCase.h"

bool PrinterTarget::Matches(std::string_view identity) const {
    return !m_identity || EqualIgnoringCase(identity, *m_identity);
}

const std::string& PrinterTarget::identity() const {
    static const std::string kNone;
    return m_identity ? *m_identity : kNone;
}
