#include "document/ColorSlots.h"

#include <algorithm>
#include <cctype>

#include "foundation/StringHelpers.h"

namespace orbelin {

std::string UpperCase(const std::string& text) {
  std::string result = text;
  for (auto& c : result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return result;
}

namespace {

struct TSlotRule {
  TColorSlot Slot;
  std::vector<std::string> Exact;
  std::vector<std::string> Contains;
  int64_t Low;
  int64_t High;
};

const std::vector<TSlotRule>& SlotRules() {
  static const std::vector<TSlotRule> rules = {
      {csGreen,
       {"G", "PE"},
       {"GFP", "GREEN", "FITC", "CY2", "BODIPY-FL", "YFP", "VENUS", "EMERALD"},
       420,
       530},
      {csRed,
       {"R", "RED", "PI"},
       {"RHODAMINE", "TRITC", "RFP", "CY3", "TEXAS RED", "TOMATO", "SCARLET", "DSRED", "CHERRY"},
       540,
       610},
      {csBlue, {"B", "BLUE"}, {"DAPI", "HOECHST", "BFP", "CFP"}, 310, 410},
      {csGray, {"DIC", "PH"}, {"PHASE", "BRIGHT"}, 0, 0},
  };
  return rules;
}

}  // namespace

bool MatchesChannelRule(const std::string& name, const std::vector<std::string>& exact,
                        const std::vector<std::string>& contains, int64_t low, int64_t high) {
  if (name.empty()) return false;
  const std::string upper = UpperCase(name);
  if (std::find(exact.begin(), exact.end(), upper) != exact.end()) return true;
  for (const auto& part : contains)
    if (!part.empty() && name.find(part) != std::string::npos) return true;
  size_t end = upper.size();
  while (end > 0 && !IsDigit(upper[end - 1])) --end;
  if (end == 0) return false;
  size_t start = end;
  while (start > 0 && IsDigit(upper[start - 1])) --start;
  // A run too long for any wavelength is out of every range; no overflow.
  size_t first = start;
  while (first < end - 1 && upper[first] == '0') ++first;
  if (end - first > 12) return false;
  int64_t value = std::stoll(upper.substr(first, end - first));
  return low <= value && value <= high;
}

void AssignColorSlots(TColorSlots& slots, const TChannelInfos& channels) {
  const int32_t count = channels.Count();
  std::vector<bool> taken(static_cast<size_t>(count), false);
  std::vector<std::string> names(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) names[static_cast<size_t>(i)] = UpperCase(channels[i].Name);

  auto takeFirst = [&](TColorSlot slot, auto&& accepts) {
    for (int32_t i = 0; i < count; ++i) {
      if (taken[static_cast<size_t>(i)] || !accepts(i)) continue;
      slots.SlotChannel[slot] = i;
      taken[static_cast<size_t>(i)] = true;
      return;
    }
  };

  slots.SlotChannel.fill(-1);
  for (int s = 0; s < kColorSlotCount; ++s) {
    const std::string& last = slots.LastSlotName[static_cast<size_t>(s)];
    if (last.empty()) continue;
    takeFirst(static_cast<TColorSlot>(s), [&](int32_t i) { return names[static_cast<size_t>(i)] == last; });
  }
  for (const auto& rule : SlotRules()) {
    if (slots.SlotChannel[rule.Slot] >= 0) continue;
    std::vector<std::string> exact = rule.Exact;
    exact.insert(exact.begin(), slots.LastSlotName[rule.Slot]);
    takeFirst(rule.Slot, [&](int32_t i) {
      return MatchesChannelRule(channels[i].Name, exact, rule.Contains, rule.Low, rule.High);
    });
  }
  for (int s = csGreen; s <= csYellow; ++s) {
    if (slots.SlotChannel[static_cast<size_t>(s)] >= 0) continue;
    takeFirst(static_cast<TColorSlot>(s), [](int32_t) { return true; });
  }
}

void AssignAlgorithms(TChannelInfos& channels, const TColorSlots& slots, const TAlgorithmNames& lastAlgorithmChannel) {
  for (int32_t i = 0; i < channels.Count(); ++i) {
    channels.SetAlgorithm(i, daNone);
    const std::string name = UpperCase(channels[i].Name);
    // An empty memory entry means "nobody", not "the channel without a name".
    for (int j = daNone; j <= daVesicles; ++j) {
      const std::string& last = lastAlgorithmChannel[static_cast<size_t>(j)];
      if (!last.empty() && name == last) channels.SetAlgorithm(i, static_cast<TDetectionAlgorithm>(j));
    }
  }
  for (int32_t i = 0; i < channels.Count(); ++i)
    if (channels.Algorithm(i) == daNucleus) return;
  const int32_t blue = slots.SlotChannel[csBlue];
  if (blue >= 0 && blue < channels.Count() && channels.Algorithm(blue) == daNone) channels.SetAlgorithm(blue, daNucleus);
}

void RememberChannelNames(TColorSlots& slots, TAlgorithmNames& lastAlgorithmChannel, const TChannelInfos& channels) {
  if (channels.Count() <= 0) return;
  for (int s = 0; s < kColorSlotCount; ++s) {
    const int32_t channel = slots.SlotChannel[static_cast<size_t>(s)];
    slots.LastSlotName[static_cast<size_t>(s)] =
        channel >= 0 && channel < channels.Count() ? UpperCase(channels[channel].Name) : std::string();
  }
  for (auto& name : lastAlgorithmChannel) name.clear();
  for (const auto& channel : channels)
    if (channel.Algorithm != daNone) lastAlgorithmChannel[channel.Algorithm] = UpperCase(channel.Name);
}

}  // namespace orbelin
