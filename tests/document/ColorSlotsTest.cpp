#include "document/ColorSlots.h"

#include <gtest/gtest.h>

namespace orbelin {
namespace {

TChannelInfos Named(const std::vector<std::string>& names) {
  TChannelInfos channels;
  for (const auto& name : names) {
    TChannelInfo info;
    info.Name = name;
    info.FileName = "x";
    channels.Add(info);
  }
  return channels;
}

using TSlotChannels = std::array<int32_t, kColorSlotCount>;

TSlotChannels Assign(const std::vector<std::string>& names, TColorSlots slots = {}) {
  AssignColorSlots(slots, Named(names));
  return slots.SlotChannel;
}

TEST(MatchesChannelRule, NamesAgainstTheGreenRule) {
  const std::vector<std::string> exact = {"G", "PE"};
  const std::vector<std::string> contains = {"GFP", "FITC"};
  struct TCase {
    const char* name;
    bool matches;
  } cases[] = {
      {"", false},
      {"g", true},          // exact after upper-casing
      {"EGFP", true},       // contains
      {"egfp", false},      // contains is case-sensitive
      {"Ex488", true},      // trailing number in range
      {"Cy5 650", false},   // trailing number out of range
      {"488 nm", true},     // characters after the last digits are ignored
      {"W1 405 x 2", false},  // the last digit run counts, not the first
      {"Mono", false},      // no digit at all
      {"99999999999999999999999", false},  // no overflow on absurd numbers
  };
  for (const auto& c : cases)
    EXPECT_EQ(MatchesChannelRule(c.name, exact, contains, 420, 530), c.matches) << c.name;
}

TEST(AssignColorSlots, NamedChannelsFollowTheRulesThenFillInOrder) {
  // EGFP by "GFP"; mCherry misses "CHERRY" (case) and is placed by the fill step; DAPI by "DAPI".
  EXPECT_EQ(Assign({"DAPI", "EGFP", "mCherry"}), (TSlotChannels{1, 2, 0, -1, -1, -1, -1}));
  // Cy5 650 matches no rule, Ex488 matches Green by wavelength.
  EXPECT_EQ(Assign({"Cy5 650", "Ex488"}), (TSlotChannels{1, 0, -1, -1, -1, -1, -1}));
  // The last digit run is 2, in no range, but "DAPI" still puts it in Blue.
  EXPECT_EQ(Assign({"W1 405 DAPI 2"}), (TSlotChannels{-1, -1, 0, -1, -1, -1, -1}));
  // Gray is never filled by the fill step; the fourth unnamed channel lands in Magenta.
  EXPECT_EQ(Assign({"", "", "", ""}), (TSlotChannels{0, 1, 2, 3, -1, -1, -1}));
  // Gray by its own rule.
  EXPECT_EQ(Assign({"DIC", "Phase"}), (TSlotChannels{1, -1, -1, -1, -1, -1, 0}));
}

TEST(AssignColorSlots, RememberedNamesBeatTheRules) {
  TColorSlots slots;
  slots.LastSlotName[csRed] = "RFP";
  slots.LastSlotName[csMagenta] = "DAPI";
  // The first RFP goes to Red, the second is free; DAPI goes to Magenta, not Blue.
  EXPECT_EQ(Assign({"RFP", "RFP", "dapi"}, slots), (TSlotChannels{1, 0, -1, 2, -1, -1, -1}));
}

TEST(AssignAlgorithms, RememberedNamesThenBlueBecomesNucleus) {
  TAlgorithmNames last;
  TChannelInfos channels = Named({"DAPI", "EGFP", "mCherry"});
  TColorSlots slots;
  AssignColorSlots(slots, channels);
  AssignAlgorithms(channels, slots, last);
  EXPECT_EQ(channels.Algorithm(0), daNucleus);
  EXPECT_EQ(channels.Algorithm(1), daNone);

  last[daGolgi] = "EGFP";
  last[daNucleus] = "MCHERRY";
  AssignAlgorithms(channels, slots, last);
  EXPECT_EQ(channels.Algorithm(0), daNone);  // a remembered nucleus keeps Blue out
  EXPECT_EQ(channels.Algorithm(1), daGolgi);
  EXPECT_EQ(channels.Algorithm(2), daNucleus);
  EXPECT_EQ(channels.AlgorithmChannels(), (TAlgorithmChannels{0, 2, -1, 1, -1, -1}));

  // Blue's channel already analysed for something else is not made the nucleus.
  last = {};
  last[daCilium] = "DAPI";
  AssignAlgorithms(channels, slots, last);
  EXPECT_EQ(channels.Algorithm(0), daCilium);
  EXPECT_EQ(channels.AlgorithmChannels()[daNucleus], -1);
}

TEST(AssignAlgorithms, EmptyMemoryDoesNotMatchUnnamedChannels) {
  TChannelInfos channels = Named({"", ""});
  TColorSlots slots;
  AssignColorSlots(slots, channels);
  AssignAlgorithms(channels, slots, TAlgorithmNames{});
  EXPECT_EQ(channels.Algorithm(0), daNone);
  EXPECT_EQ(channels.Algorithm(1), daNone);
}

TEST(RememberChannelNames, StoresUpperCasedNamesPerSlotAndAlgorithm) {
  TChannelInfos channels = Named({"dapi", "gfp", "gfp2"});
  channels.SetAlgorithm(0, daNucleus);
  channels.SetAlgorithm(1, daVesicles);
  channels.SetAlgorithm(2, daVesicles);
  TColorSlots slots;
  slots.LastSlotName[csGray] = "OLD";
  slots.SlotChannel = {1, -1, 0, -1, -1, -1, -1};
  TAlgorithmNames last;
  last[daGolgi] = "OLD";
  RememberChannelNames(slots, last, channels);
  EXPECT_EQ(slots.LastSlotName, (std::array<std::string, kColorSlotCount>{"GFP", "", "DAPI", "", "", "", ""}));
  EXPECT_EQ(last, (TAlgorithmNames{"", "DAPI", "", "", "", "GFP2"}));  // a later channel wins

  // Nothing open: the memory is kept.
  RememberChannelNames(slots, last, TChannelInfos{});
  EXPECT_EQ(slots.LastSlotName[csGreen], "GFP");
}

}  // namespace
}  // namespace orbelin
