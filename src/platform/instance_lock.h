// The single-instance lock: held by the running program, released by the
// system when the process ends in any way, so a killed copy leaves nothing
// stuck.
#pragma once

#include <string>

namespace kovan {

class InstanceLock {
 public:
  // Tries to take the lock named after key (the folder being played).
  explicit InstanceLock(const std::string& key);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;
  // False when another running copy holds it.
  bool Held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace kovan
