#pragma once
// Objects that live until the program ends. The pool owns what it is given and
// frees it, newest first, when it is destroyed (for the process-wide pool: at
// exit).
#include <type_traits>
#include <vector>

#include "foundation/ThreadSafeObject.h"

namespace orbelin {

class TAutoReleasePool : public TThreadSafeObject {
public:
  TAutoReleasePool() = default;
  ~TAutoReleasePool() override;

  // Takes ownership of object unless the pool already holds it; returns object.
  template <class T>
  T* Add(T* object) {
    if (object == nullptr) return object;
    AddOwned(Identity(object), object, [](void* held) { delete static_cast<T*>(held); });
    return object;
  }

  bool Holds(const void* identity) const;
  int Count() const;

  // Frees the held objects, newest first, and empties the pool. An exception
  // thrown while freeing one object is swallowed; the rest are still freed.
  void FreeAll();

private:
  struct Entry {
    const void* identity;
    void* object;
    void (*free)(void*);
  };

  // The most derived object's address, so one object added through two base
  // pointers is recognised as the same.
  template <class T>
  static const void* Identity(T* object) {
    if constexpr (std::is_polymorphic_v<T>) return dynamic_cast<const void*>(object);
    else return object;
  }

  void AddOwned(const void* identity, void* object, void (*free)(void*));

  std::vector<Entry> entries_;
};

// The process-wide pool, created on first use and emptied at program end.
TAutoReleasePool& AutoReleasePool();

}  // namespace orbelin
