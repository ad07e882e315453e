#include "foundation/AutoReleasePool.h"

#include <algorithm>

namespace orbelin {

TAutoReleasePool::~TAutoReleasePool() { FreeAll(); }

void TAutoReleasePool::AddOwned(const void* identity, void* object, void (*free)(void*)) {
  std::lock_guard guard(*this);
  if (std::any_of(entries_.begin(), entries_.end(),
                  [identity](const Entry& entry) { return entry.identity == identity; })) {
    return;
  }
  entries_.push_back({identity, object, free});
}

bool TAutoReleasePool::Holds(const void* identity) const {
  std::lock_guard guard(*this);
  return std::any_of(entries_.begin(), entries_.end(),
                     [identity](const Entry& entry) { return entry.identity == identity; });
}

int TAutoReleasePool::Count() const {
  std::lock_guard guard(*this);
  return static_cast<int>(entries_.size());
}

void TAutoReleasePool::FreeAll() {
  std::lock_guard guard(*this);
  // Taken out first so an object that consults the pool while being freed sees
  // a consistent list.
  std::vector<Entry> entries;
  entries.swap(entries_);
  for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
    try {
      entry->free(entry->object);
    } catch (...) {
      // One faulty destructor must not keep the others alive.
    }
  }
}

TAutoReleasePool& AutoReleasePool() {
  static TAutoReleasePool pool;
  return pool;
}

}  // namespace orbelin
