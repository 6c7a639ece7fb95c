// A map from a cell to an int, like CellMap, that is a plain array over the
// cells of a small map and falls back to a CellMap for large maps and for
// cells off the map (a hostile server may place records anywhere).
// The owner keeps one for as long as it likes and calls Shape whenever the
// map may have changed size; Clear is O(1) in both modes, so a reset costs
// what the keys hold, never what the map measures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "state/cell_map.h"

class CellIndex {
 public:
  // Maps with at most this many cells are held as an array.
  static constexpr std::size_t kDenseCells = std::size_t{1} << 16;

  // Fits the index to a width x height map and forgets every key. Nothing is
  // done when the size is unchanged; otherwise the array is sized once.
  void Shape(int width, int height);

  // Forgets every key; the storage stays.
  void Clear();

  // Makes room for `count` keys, so that inserting them does not rehash.
  // Only a large map needs it: on a small one the CellMap holds just the
  // keys off the map, and grows for them once.
  void Reserve(std::size_t count) {
    if (denseWidth_ == 0)
      spill_.Reserve(count);
  }

  std::size_t Size() const { return size_ + spill_.Size(); }

  // The value stored for (x, y), or nullptr. Valid until the next insertion.
  const int* Find(int x, int y) const {
    if (const Slot* slot = Dense(x, y))
      return slot->stamp == stamp_ ? &slot->value : nullptr;
    return spill_.Size() == 0 ? nullptr : spill_.Find(x, y);
  }
  int* Find(int x, int y) {
    return const_cast<int*>(static_cast<const CellIndex*>(this)->Find(x, y));
  }

  // The value for (x, y); a missing key is stored with `value` first.
  // Valid until the next insertion.
  int& Insert(int x, int y, int value) {
    Slot* slot = Dense(x, y);
    if (slot == nullptr)
      return spill_.Insert(x, y, value);
    if (slot->stamp != stamp_) {
      *slot = {stamp_, value};
      ++size_;
    }
    return slot->value;
  }

 private:
  struct Slot {
    std::uint32_t stamp = 0;  // the slot holds a key when it equals stamp_
    int value = 0;
  };

  // The array slot of (x, y), or nullptr when the cell goes to the CellMap.
  const Slot* Dense(int x, int y) const {
    // One unsigned compare per axis also sends negative coordinates away.
    if (static_cast<unsigned>(x) >= denseWidth_ || static_cast<unsigned>(y) >= denseHeight_)
      return nullptr;
    return &slots_[x + static_cast<std::size_t>(y) * denseWidth_];
  }
  Slot* Dense(int x, int y) {
    return const_cast<Slot*>(static_cast<const CellIndex*>(this)->Dense(x, y));
  }

  int width_ = 0;
  int height_ = 0;
  // The shape of slots_: the map's when it is small enough, else 0 x 0.
  unsigned denseWidth_ = 0;
  unsigned denseHeight_ = 0;
  std::vector<Slot> slots_;
  std::uint32_t stamp_ = 1;
  std::size_t size_ = 0;  // keys in slots_
  CellMap spill_;         // keys off the array
};
