#include "state/cell_index.h"

void CellIndex::Shape(int width, int height) {
  if (width == width_ && height == height_) {
    Clear();
    return;
  }
  width_ = width;
  height_ = height;
  const bool dense =
      width > 0 && height > 0 &&
      static_cast<std::size_t>(width) * static_cast<std::size_t>(height) <= kDenseCells;
  denseWidth_ = dense ? static_cast<unsigned>(width) : 0;
  denseHeight_ = dense ? static_cast<unsigned>(height) : 0;
  slots_.assign(std::size_t{denseWidth_} * denseHeight_, Slot{});
  stamp_ = 1;
  size_ = 0;
  spill_.Clear();
}

void CellIndex::Clear() {
  size_ = 0;
  spill_.Clear();
  if (++stamp_ == 0) {
    // After 2^32 clears old stamps could match again: wipe them once.
    for (Slot& slot : slots_)
      slot.stamp = 0;
    stamp_ = 1;
  }
}
