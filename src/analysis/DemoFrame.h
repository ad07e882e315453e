#pragma once
// The demo image as an opened one-frame image set holds it, without files:
// channels B (nucleus), G (Golgi) and R (centrosome) in the order opening
// cell-B.tif gives them, their raw planes loaded, and the drawn cells.
#include "analysis/DemoImage.h"
#include "document/ChannelInfo.h"
#include "document/Frames.h"

namespace orbelin {

// Replaces channels and frames by the demo's; the kinds are assigned as the
// batch mode's --kind options would.
void LoadDemoFrame(const TDemoImage& image, TChannelInfos& channels, TFrames& frames);

// Appends the demo's cells [first, first + count) to frame 0 as cells needing analysis.
void AddDemoCells(const TDemoImage& image, TFrames& frames, size_t first, size_t count);

}  // namespace orbelin
