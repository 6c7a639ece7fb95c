#include "state/cell_map.h"

namespace {

constexpr std::size_t kMinSlots = 16;

}  // namespace

void CellMap::Clear() {
  size_ = 0;
  if (++stamp_ == 0) {
    // After 2^32 clears old stamps could match again: wipe them once.
    for (Slot& slot : slots_)
      slot.stamp = 0;
    stamp_ = 1;
  }
}

void CellMap::Reserve(std::size_t count) {
  std::size_t slots = slots_.empty() ? kMinSlots : slots_.size();
  while (slots < 2 * count)
    slots *= 2;
  if (slots != slots_.size())
    Grow(slots);
}

std::size_t CellMap::Probe(std::uint64_t key) const {
  const std::size_t mask = slots_.size() - 1;
  // Multiplicative hashing: the top bits of the product mix every bit of
  // both coordinates.
  const std::size_t start = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ULL) >> shift_);
  for (std::size_t i = start;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.stamp != stamp_ || slot.key == key)
      return i;
  }
}

const int* CellMap::Find(int x, int y) const {
  if (size_ == 0)
    return nullptr;
  const std::uint64_t key = Key(x, y);
  const Slot& slot = slots_[Probe(key)];
  return slot.stamp == stamp_ ? &slot.value : nullptr;
}

int* CellMap::Find(int x, int y) {
  return const_cast<int*>(static_cast<const CellMap*>(this)->Find(x, y));
}

int& CellMap::Insert(int x, int y, int value) {
  if (2 * (size_ + 1) > slots_.size())
    Grow(slots_.empty() ? kMinSlots : 2 * slots_.size());
  const std::uint64_t key = Key(x, y);
  Slot& slot = slots_[Probe(key)];
  if (slot.stamp != stamp_) {
    slot = {key, stamp_, value};
    ++size_;
  }
  return slot.value;
}

void CellMap::Grow(std::size_t slots) {
  std::vector<Slot> old(slots);
  old.swap(slots_);
  shift_ = 64;
  for (std::size_t n = slots; n > 1; n /= 2)
    --shift_;
  const std::uint32_t oldStamp = stamp_;
  stamp_ = 1;
  for (const Slot& slot : old) {
    if (slot.stamp == oldStamp)
      slots_[Probe(slot.key)] = {slot.key, stamp_, slot.value};
  }
}
