#include "document/ResidentSet.h"

#include <unistd.h>

#include <cstdio>

#include "foundation/Exceptions.h"

namespace orbelin {

uint64_t ResidentSetBytes() {
  std::FILE* file = std::fopen("/proc/self/statm", "r");
  if (file == nullptr) RaiseError<EInOutError>("Cannot read the process memory size.");
  unsigned long long size = 0, resident = 0;
  const int fields = std::fscanf(file, "%llu %llu", &size, &resident);
  std::fclose(file);
  const long pageSize = sysconf(_SC_PAGESIZE);
  if (fields != 2 || pageSize <= 0) RaiseError<EInOutError>("Cannot read the process memory size.");
  return static_cast<uint64_t>(resident) * static_cast<uint64_t>(pageSize);
}

}  // namespace orbelin
