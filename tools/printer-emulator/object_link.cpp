#include "object_link.h"

#include <winternl.h>

#include <cstdio>

extern "C" NTSTATUS NTAPI NtCreateSymbolicLinkObject(PHANDLE link, ACCESS_MASK access,
                                                     POBJECT_ATTRIBUTES attributes,
                                                     PUNICODE_STRING target);

namespace {

constexpr ACCESS_MASK symbolic_link_all_access = STANDARD_RIGHTS_REQUIRED | 0x1;

UNICODE_STRING counted(std::wstring& text) {
    const auto bytes = static_cast<USHORT>(text.size() * sizeof(wchar_t));
    return UNICODE_STRING{bytes, bytes, text.data()};
}

} // namespace

bool ObjectLink::create(const std::wstring& name, const std::wstring& target, std::string& error) {
    constexpr std::size_t max_chars = 0x7FFF; // UNICODE_STRING counts bytes in a USHORT
    if (name.size() > max_chars || target.size() > max_chars) {
        error = "link name or target too long";
        return false;
    }
    std::wstring name_copy = name;
    std::wstring target_copy = target;
    UNICODE_STRING name_string = counted(name_copy);
    UNICODE_STRING target_string = counted(target_copy);
    OBJECT_ATTRIBUTES attributes;
    // Not permanent: the link goes away with the handle, even if the emulator is killed.
    InitializeObjectAttributes(&attributes, &name_string, OBJ_CASE_INSENSITIVE, nullptr, nullptr);
    HANDLE link = nullptr;
    const NTSTATUS status =
        NtCreateSymbolicLinkObject(&link, symbolic_link_all_access, &attributes, &target_string);
    if (status < 0) {
        char text[64];
        std::snprintf(text, sizeof text, "NtCreateSymbolicLinkObject failed: 0x%08lX",
                      static_cast<unsigned long>(status));
        error = text;
        return false;
    }
    handle_.reset(link);
    return true;
}
