// A hash map from a pair of ints (a cell, anywhere in the int range, or an id
// with a fixed second half) to an int, usually an index into a record vector.
// The owner keeps one for as long as it likes: Clear is O(1) and keeps the
// storage, so a map reused tick after tick stops allocating once grown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class CellMap {
 public:
  // Forgets every key; the storage stays.
  void Clear();

  // Makes room for `count` keys, so that inserting them does not rehash.
  void Reserve(std::size_t count);

  std::size_t Size() const { return size_; }

  // The value stored for (x, y), or nullptr. Valid until the next insertion.
  const int* Find(int x, int y) const;
  int* Find(int x, int y);

  // The value for (x, y); a missing key is stored with `value` first.
  // Valid until the next insertion.
  int& Insert(int x, int y, int value);

 private:
  struct Slot {
    std::uint64_t key = 0;
    std::uint32_t stamp = 0;  // the slot holds a key when it equals stamp_
    int value = 0;
  };

  static std::uint64_t Key(int x, int y) {
    return (std::uint64_t{static_cast<std::uint32_t>(x)} << 32) | static_cast<std::uint32_t>(y);
  }
  // The slot holding `key`, or the empty slot where it belongs.
  std::size_t Probe(std::uint64_t key) const;
  void Grow(std::size_t slots);

  std::vector<Slot> slots_;  // a power of two in size, at most half full
  std::uint32_t stamp_ = 1;
  int shift_ = 64;  // 64 - log2(slots_.size())
  std::size_t size_ = 0;
};
