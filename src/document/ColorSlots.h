#pragma once
// The seven colour slots and the rules that give channels to slots and to
// detection algorithms by their names, with the memory of the names used last.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "document/ChannelInfo.h"
#include "document/DetectionAlgorithm.h"

namespace orbelin {

// Storage order, also used by the settings, the display state and the selector.
enum TColorSlot : uint8_t { csGreen, csRed, csBlue, csMagenta, csCyan, csYellow, csGray };
inline constexpr int kColorSlotCount = 7;
inline constexpr std::array<const char*, kColorSlotCount> kColorSlotNames = {"Green",   "Red",  "Blue", "Magenta",
                                                                              "Cyan",    "Yellow", "Gray"};

// Which of blue, green, red (bits 0, 1, 2 in the pixel's storage order) a slot feeds.
inline constexpr std::array<uint8_t, kColorSlotCount> kSlotComponents = {0b010, 0b100, 0b001, 0b101,
                                                                         0b011, 0b110, 0b111};

struct TColorSlots {
  std::array<int32_t, kColorSlotCount> SlotChannel;
  std::array<bool, kColorSlotCount> SlotVisible;
  // Upper-cased channel names last shown per slot; kept across runs by the owner.
  std::array<std::string, kColorSlotCount> LastSlotName;

  TColorSlots() {
    SlotChannel.fill(-1);
    SlotVisible.fill(true);
  }
};

// Upper-cased channel names last assigned per algorithm (daNone's stays empty).
using TAlgorithmNames = std::array<std::string, kDetectionAlgorithmCount>;

// True when name (non-empty) equals one of exact after upper-casing, contains
// one of contains as spelled, or its last run of digits lies in [low, high].
bool MatchesChannelRule(const std::string& name, const std::vector<std::string>& exact,
                        const std::vector<std::string>& contains, int64_t low, int64_t high);

// Sets SlotChannel of every slot: remembered names first, then the slot
// rules of Green, Red, Blue and Gray, then the free channels in order (never Gray).
void AssignColorSlots(TColorSlots& slots, const TChannelInfos& channels);

// Sets every channel's Algorithm from the remembered names; without a nucleus,
// the Blue slot's channel becomes it.
void AssignAlgorithms(TChannelInfos& channels, const TColorSlots& slots, const TAlgorithmNames& lastAlgorithmChannel);

// Remembers the names per slot and per algorithm; nothing when no channel is open.
void RememberChannelNames(TColorSlots& slots, TAlgorithmNames& lastAlgorithmChannel, const TChannelInfos& channels);

std::string UpperCase(const std::string& text);

}  // namespace orbelin
