#pragma once
// Base classes of shared objects.
#include <mutex>

namespace orbelin {

// An object with its own re-entrant lock: the thread holding it may take it again.
class TThreadSafeObject {
public:
  TThreadSafeObject() = default;
  virtual ~TThreadSafeObject() = default;
  TThreadSafeObject(const TThreadSafeObject&) = delete;
  TThreadSafeObject& operator=(const TThreadSafeObject&) = delete;

  void Lock() const { lock_.lock(); }
  void Unlock() const { lock_.unlock(); }
  // The same under the standard names, for std::lock_guard and friends.
  void lock() const { lock_.lock(); }
  void unlock() const { lock_.unlock(); }

private:
  mutable std::recursive_mutex lock_;
};

// Common base of objects shared between views (region groups); no behaviour.
class tSharedObject {
public:
  virtual ~tSharedObject() = default;
};

}  // namespace orbelin
