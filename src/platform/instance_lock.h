// The single-instance lock: an exclusive lock on the data folder itself,
// held by the running program and dropped by the system when the process
// ends in any way. Two copies on one folder always meet on the same lock
// whatever their environment, and no file is left behind to block a later
// start.
#pragma once

#include <string>

namespace kovan {

class InstanceLock {
 public:
  // Tries to lock the folder.
  explicit InstanceLock(const std::string& folder);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;
  // This copy holds the folder.
  bool Held() const { return fd_ >= 0; }
  // Another running copy holds the folder. A folder that can't be opened
  // or locked at all is neither held nor busy: the start-up then says what
  // is wrong with it.
  bool Busy() const { return busy_; }

 private:
  int fd_ = -1;
  bool busy_ = false;
};

}  // namespace kovan
