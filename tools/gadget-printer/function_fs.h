// Native mode's interface as FunctionFS serves it: a vendor-specific interface (class FF) with
// one bulk OUT and one bulk IN endpoint, whose bytes this program reads itself.
#pragma once

#include <string>

class FunctionFsInterface {
  public:
    // Mounts the instance's FunctionFS at `mount_point`, writes the descriptors and strings to
    // ep0 and opens the OUT endpoint. The function must not be bound yet.
    FunctionFsInterface(const std::string& instance, const std::string& mount_point);
    // Closes the endpoints and unmounts; unbind the gadget first.
    ~FunctionFsInterface();
    FunctionFsInterface(const FunctionFsInterface&) = delete;
    FunctionFsInterface& operator=(const FunctionFsInterface&) = delete;

    int out_endpoint() const { return out_; }

  private:
    std::string mount_point_;
    int ep0_ = -1;
    int out_ = -1;
};
