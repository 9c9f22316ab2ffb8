// A symbolic link in the object namespace that lives exactly as long as this object.
#pragma once

#include "unique_handle.h"

#include <string>

class ObjectLink {
  public:
    // `name` like "\??\usb#...", `target` like "\Device\NamedPipe".
    bool create(const std::wstring& name, const std::wstring& target, std::string& error);
    void remove() { handle_.reset(); }
    bool exists() const { return handle_.valid(); }

  private:
    UniqueHandle handle_;
};
