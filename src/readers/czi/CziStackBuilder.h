#pragma once
// Turns the CZI directory into the stack: origins, the image table and, for
// every image, the subblock (and plane and component in it) that supplies it.
#include <string>
#include <vector>

#include "readers/czi/CziFormat.h"
#include "readers/czi/CziMetadata.h"
#include "readers/czi/ZeissCziReader.h"

namespace orbelin {

// hasSizes tells whether the metadata gave the stack's sizes; without it they
// come from the extents of the directory, with one channel group per channel value.
void BuildCziStack(const std::vector<TDirectoryEntryDV>& entries, bool hasSizes, const TCziScaling& scaling,
                   const std::string& fileName, TStackInfo& stackInfo, TImageInfos& imageInfos,
                   std::vector<TZeissCziReader::TSubBlock>& subBlocks);

}  // namespace orbelin
