#include "readers/framework/ChannelGroups.h"

#include <algorithm>

#include "readers/framework/ColorLayout.h"

namespace orbelin {

namespace {

int TotalChannels(const TChannelGroups& groups) {
  return groups.empty() ? 0 : groups.back().First + groups.back().Count;
}

// Rewrites ChannelGroupOf for the channels of groups `fromGroup` onwards.
void FillGroupOf(TStackInfo& stackInfo, size_t fromGroup) {
  const TChannelGroups& groups = stackInfo.ChannelGroups;
  for (size_t g = fromGroup; g < groups.size(); ++g)
    for (int32_t c = groups[g].First; c < groups[g].First + groups[g].Count; ++c)
      if (c >= 0 && static_cast<size_t>(c) < stackInfo.ChannelGroupOf.size())
        stackInfo.ChannelGroupOf[c] = static_cast<uint32_t>(g);
}

void RenumberFrom(TChannelGroups& groups, size_t fromGroup) {
  for (size_t g = std::max<size_t>(fromGroup, 1); g < groups.size(); ++g)
    groups[g].First = groups[g - 1].First + groups[g - 1].Count;
  if (fromGroup == 0 && !groups.empty()) groups[0].First = 0;
}

void StoreTotal(TStackInfo& stackInfo) {
  const int total = TotalChannels(stackInfo.ChannelGroups);
  stackInfo.Sizes[dimChannel] = total;
  stackInfo.ChannelGroupOf.resize(static_cast<size_t>(total));
}

}  // namespace

void SetChannelCount(TStackInfo& stackInfo, int count) {
  TChannelGroups& groups = stackInfo.ChannelGroups;
  const size_t oldCount = groups.size();
  const size_t newCount = count > 0 ? static_cast<size_t>(count) : 0;
  groups.resize(newCount);
  for (size_t g = oldCount; g < newCount; ++g) {
    groups[g].Layout = clSingle;
    groups[g].Count = 1;
    groups[g].First = g == 0 ? 0 : groups[g - 1].First + groups[g - 1].Count;
  }
  StoreTotal(stackInfo);
  FillGroupOf(stackInfo, std::min(oldCount, newCount));
}

void SetChannelLayout(TStackInfo& stackInfo, int group, int layout) {
  TChannelGroups& groups = stackInfo.ChannelGroups;
  if (group < 0 || static_cast<size_t>(group) >= groups.size()) return;
  if (layout == clNone) layout = clSingle;
  groups[group].Layout = static_cast<uint8_t>(layout);
  groups[group].Count = ColorLayoutComponentCount(layout);
  RenumberFrom(groups, static_cast<size_t>(group) + 1);
  StoreTotal(stackInfo);
  FillGroupOf(stackInfo, static_cast<size_t>(group));
}

void MergeChannelGroup(TStackInfo& stackInfo, int firstGroup, int lastGroup) {
  TChannelGroups& groups = stackInfo.ChannelGroups;
  if (firstGroup < 0) firstGroup = 0;
  if (lastGroup >= static_cast<int>(groups.size())) lastGroup = static_cast<int>(groups.size()) - 1;
  if (lastGroup <= firstGroup) return;
  int32_t sum = 0;
  for (int g = firstGroup; g <= lastGroup; ++g) sum += groups[g].Count;
  groups[firstGroup].Layout = clNone;
  groups[firstGroup].Count = sum;
  groups.erase(groups.begin() + firstGroup + 1, groups.begin() + lastGroup + 1);
  FillGroupOf(stackInfo, static_cast<size_t>(firstGroup));
}

void NameGroupedChannels(TStackInfo& stackInfo) {
  const TChannelGroups& groups = stackInfo.ChannelGroups;
  const int total = TotalChannels(groups);
  TReaderChannelInfos& channels = stackInfo.Channels;
  channels.resize(std::max<size_t>(static_cast<size_t>(total), groups.size()));
  for (int c = total - 1; c >= 0; --c) {
    const uint32_t g = c < static_cast<int>(stackInfo.ChannelGroupOf.size()) ? stackInfo.ChannelGroupOf[c] : 0;
    if (g >= groups.size()) continue;
    TReaderChannelInfo info = channels[g];
    const TChannelGroup& group = groups[g];
    const TColorLayoutInfo& layout = ColorLayoutInfo(group.Layout);
    const int k = c - group.First;
    if (group.Count > 1 && k >= 0 && k < layout.ComponentCount) {
      const TColorLayoutComponent& component = layout.Components[k];
      std::string name = info.Name;
      while (!name.empty() && static_cast<unsigned char>(name.back()) <= ' ') name.pop_back();
      info.Name = name.empty() ? std::string(component.Name) : name + " - " + component.Name;
      info.Color = static_cast<int32_t>(component.Color);
      info.Wavelength = component.Wavelength;
    }
    channels[c] = info;
  }
  channels.resize(static_cast<size_t>(total));
}

}  // namespace orbelin
