#include "readers/framework/ColorLayout.h"

namespace orbelin {

namespace {

constexpr uint32_t kRed = 0xFF, kGreen = 0xFF00, kBlue = 0xFF0000, kAlpha = 0xFF000000;
constexpr TColorLayoutComponent kR{"Red", kRed, 680}, kG{"Green", kGreen, 530}, kB{"Blue", kBlue, 475},
    kA{"Alpha", kAlpha, 1};

constexpr TColorLayoutInfo kLayouts[kColorLayoutCount] = {
    {0, {}},
    {1, {{"", 0, 0}}},
    {3, {kR, kG, kB}},
    {3, {kB, kG, kR}},
    {4, {kR, kG, kB, kA}},
    {4, {kA, kB, kG, kR}},
    {4, {kB, kG, kR, kA}},
    {4, {kA, kR, kG, kB}},
    {4, {{"Cyan", 0xFFFF00, 505}, {"Magenta", 0xFF00FF, 515}, {"Yellow", 0xFFFF, 580}, {"Key", 0xFFFFFF, 1000}}},
    {3, {{"Y", kRed, 680}, {"Cb", kGreen, 530}, {"Cr", kBlue, 475}}},
    {3, {{"L*", kRed, 680}, {"a*", kGreen, 530}, {"b*", kBlue, 475}}},
    {3, {{"Hue", kRed, 680}, {"Saturation", kGreen, 530}, {"Value", kBlue, 475}}},
    {3, {{"Hue", kRed, 680}, {"Saturation", kGreen, 530}, {"Lightness", kBlue, 475}}},
};

}  // namespace

const TColorLayoutInfo& ColorLayoutInfo(int layout) {
  if (layout < 0 || layout >= kColorLayoutCount) return kLayouts[clNone];
  return kLayouts[layout];
}

int ColorLayoutComponentCount(int layout) { return ColorLayoutInfo(layout).ComponentCount; }

}  // namespace orbelin
