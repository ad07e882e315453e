#pragma once
// The kind of sub-cellular object a channel is analysed for.
#include <array>
#include <cstdint>

namespace orbelin {

enum TDetectionAlgorithm : uint8_t { daNone, daNucleus, daCentrosome, daGolgi, daCilium, daVesicles };

inline constexpr int kDetectionAlgorithmCount = 6;

// Names shown to the user and used for the settings keys; daNone has none.
inline constexpr std::array<const char*, kDetectionAlgorithmCount> kDetectionAlgorithmNames = {
    "", "Nucleus", "Centrosome", "Golgi", "Primary cilium", "Vesicles"};

}  // namespace orbelin
