// Keeps the controller to one running copy. The guard is an abstract local socket
// bound to the guard's name: the kernel frees the name when the holder ends, even
// when it crashes, so a stale guard never blocks the next start.
// Abstract names belong to a network namespace: copies started in different
// namespaces (as the end-to-end tests do) do not see each other. Each user's desktop
// session has a guard of its own, so one user's window never keeps another's from
// starting.
#pragma once

#include <string>
#include <utility>

namespace fk {

inline constexpr const char* kSingleInstanceName = "Morix_Fieldkit";

// The guard's name `base` for the user running this process.
std::string SessionInstanceName(const std::string& base = kSingleInstanceName);

class CSingleInstance {
  public:
    explicit CSingleInstance(std::string name = SessionInstanceName()) : name_(std::move(name)) {}
    ~CSingleInstance() { Release(); }
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // True when this guard now holds the name; false when another holder (in this
    // process or another one) already has it, or the name cannot be bound.
    bool Acquire();
    void Release();
    bool Held() const { return fd_ >= 0; }

  private:
    std::string name_;
    int fd_ = -1;
};

}  // namespace fk
