#pragma once
// Channel groups: channels whose samples share one stored image. Readers
// declare them with these operations; ChannelGroupOf maps channels to groups.
#include "readers/framework/StackModel.h"

namespace orbelin {

// N single-channel groups after the existing ones (the array is resized to N).
void SetChannelCount(TStackInfo& stackInfo, int count);
// Gives group `group` a layout (0 is stored as clSingle) and its component count.
void SetChannelLayout(TStackInfo& stackInfo, int group, int layout);
// Folds groups FirstGroup..LastGroup into one clNone group holding all their channels.
void MergeChannelGroup(TStackInfo& stackInfo, int firstGroup, int lastGroup);
// Expands one channel entry per group to one per channel, naming the components of multi-channel groups.
void NameGroupedChannels(TStackInfo& stackInfo);

}  // namespace orbelin
