#include "document/FrameworkPlaneReaders.h"

#include <map>
#include <mutex>

#include "readers/framework/ReaderRegistry.h"
#include "readers/framework/SciImageReader.h"

namespace orbelin {

namespace {

class TFrameworkPlaneReader final : public TPlaneReader {
public:
  explicit TFrameworkPlaneReader(std::unique_ptr<TSciImageReader> reader) : reader_(std::move(reader)) {}

  void Open(const std::string& fileName) override { reader_->Open(fileName); }

  TFileDescription Describe() const override {
    TFileDescription description;
    description.Width = reader_->Width();
    description.Height = reader_->Height();
    description.PlaneCount = reader_->PlaneCount();
    description.PositionCount = reader_->PositionCount();
    description.TimePointCount = reader_->TimePointCount();
    description.PixelWidth = reader_->PixelWidth();
    description.SignificantBits = reader_->SignificantBits();
    description.BitsPerSample = reader_->BitsPerSample();
    for (int i = 0; i < reader_->ChannelCount(); ++i) {
      TSciImageReader::TChannelInfo info;
      reader_->GetChannelInfo(i, info);
      description.ChannelNames.push_back(info.Name);
    }
    return description;
  }

  void ReadPlane(int32_t position, int32_t channel, TWordDynArray& plane) override {
    reader_->SetTimePoint(0);
    reader_->SetPlane(0);
    reader_->SetPosition(position);
    reader_->SetChannel(channel);
    reader_->ReadCurrentImage(plane);
  }

private:
  std::unique_ptr<TSciImageReader> reader_;
};

}  // namespace

const TPlaneReaderClass& PlaneReaderClassOf(const TReaderClass& readerClass) {
  static std::mutex mutex;
  static std::map<const TReaderClass*, TPlaneReaderClass> classes;
  std::lock_guard<std::mutex> lock(mutex);
  auto [entry, added] = classes.try_emplace(&readerClass);
  if (added) {
    const TReaderClass* source = &readerClass;
    entry->second.Name = readerClass.Name;
    entry->second.CanRead = [source](const std::string& fileName) { return source->CanRead(fileName); };
    entry->second.Create = [source] { return std::make_unique<TFrameworkPlaneReader>(source->Create()); };
  }
  return entry->second;
}

}  // namespace orbelin
