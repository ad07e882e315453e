#pragma once
// SHA-256 of a byte buffer, for comparing decoded planes with reference digests.
#include <cstddef>
#include <cstdint>
#include <string>

namespace orbelin::test {

// The digest as 64 lower-case hexadecimal digits.
std::string Sha256Hex(const void* data, size_t size);

}  // namespace orbelin::test
