#pragma once
// TLattice: the 2-D work image of the numeric core, width × height unsigned
// 16-bit values, row-major. It either owns its storage (Data) or views a
// 16-bit array owned by someone else (View); writing through a view changes
// the viewed array. A view must not outlive the array it refers to.
//
// Operations that produce a lattice re-initialise the destination first, so
// a destination must never be the same lattice as a source.
#include <cstdint>

#include "foundation/Types.h"

namespace orbelin {

// Content of a lattice after Init / InitLike.
enum TLatticeInit : int {
  liZero = 0,     // every value 0
  liNoFill = 1,   // existing values kept where the storage is reused; new storage is 0
  liMaxFill = 2,  // every value 65535
  liCopy = 3,     // InitLike only: a copy of the other lattice's values
};

struct TLattice {
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t Count = 0;
  TWordDynArray Data;
  TWordDynArray* View = nullptr;

  // Sets the size and gives the lattice storage of its own (dropping a view).
  // w < 0, h < 0 or a pixel count beyond 32 bits raise ELatticeError and leave
  // the lattice empty.
  void Init(int32_t w, int32_t h, TLatticeInit mode);
  void InitLike(const TLattice& other, TLatticeInit mode);
  // Makes the lattice a view of array, whose length must be w × h.
  void Attach(TWordDynArray& array, int32_t w, int32_t h);

  // The values read and written: Data, else the viewed array. Raises
  // ELatticeError when a viewed array no longer has Count elements.
  TWordDynArray& Values();
  const TWordDynArray& Values() const;
  uint16_t* Pixels() { return Values().data(); }
  const uint16_t* Pixels() const { return Values().data(); }

  // Raises ELatticeError unless both lattices have the same width and height.
  void CheckSameSize(const TLattice& other) const;
  // this[i] := min / max(this[i], other[i]); same size required.
  void MinWith(const TLattice& other);
  void MaxWith(const TLattice& other);

  // this(x + dx, y + dy) := src(x, y) for every src pixel whose target lies
  // inside this lattice; other pixels keep their values. Sizes may differ.
  void CopyShifted(const TLattice& src, int32_t dx, int32_t dy);
  // As CopyShifted, and every pixel that received nothing becomes value.
  void CopyShiftedFill(const TLattice& src, int32_t dx, int32_t dy, uint16_t value);
  void CopyFrom(const TLattice& src) { CopyShifted(src, 0, 0); }

  void Fill(uint16_t value);
  // The rectangle (right and bottom exclusive), clipped to the lattice.
  void FillRect(const TRect& rect, uint16_t value);
  // Every pixel outside the clipped rectangle.
  void FillOutside(const TRect& rect, uint16_t value);
};

}  // namespace orbelin
