// A hash index from names (compared without regard to case) to positions in
// a vector of entries that hold the names themselves. Open addressing over
// 32-bit positions: no allocation per name, which matters for files of a
// few hundred thousand keys.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "storage/text_codec.h"

namespace tovrel {

class NameIndex {
public:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  void Clear() {
    slots_.clear();
    used_ = 0;
  }
  // Makes room for `names` names; only while the index is still empty.
  void Reserve(std::size_t names) {
    if (used_ == 0 && names * 2 > slots_.size()) Rehash(names * 2);
  }

  // The position stored for `name`, or kNone. `nameAt(position)` gives the
  // name held at a position.
  template <typename NameAt>
  std::size_t Find(std::u16string_view name, const NameAt& nameAt) const {
    if (slots_.empty()) return kNone;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = Hash(name) & mask;; i = (i + 1) & mask) {
      const std::uint32_t slot = slots_[i];
      if (slot == kEmpty) return kNone;
      if (slot != kRemoved && EqualsIgnoreCase(nameAt(slot - 1), name)) return slot - 1;
    }
  }

  // Stores `position` for `name` unless the name is already there.
  template <typename NameAt>
  void Insert(std::u16string_view name, std::size_t position, const NameAt& nameAt) {
    if ((used_ + 1) * 2 > slots_.size()) Rehash(slots_.empty() ? 16 : slots_.size() * 2, nameAt);
    const std::size_t mask = slots_.size() - 1;
    std::size_t removedSlot = kNone;
    for (std::size_t i = Hash(name) & mask;; i = (i + 1) & mask) {
      const std::uint32_t slot = slots_[i];
      if (slot == kEmpty) {
        slots_[removedSlot != kNone ? removedSlot : i] = static_cast<std::uint32_t>(position + 1);
        if (removedSlot == kNone) ++used_;
        return;
      }
      if (slot == kRemoved) {
        if (removedSlot == kNone) removedSlot = i;
      } else if (EqualsIgnoreCase(nameAt(slot - 1), name)) {
        return;
      }
    }
  }

  template <typename NameAt>
  void Erase(std::u16string_view name, const NameAt& nameAt) {
    if (slots_.empty()) return;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = Hash(name) & mask;; i = (i + 1) & mask) {
      const std::uint32_t slot = slots_[i];
      if (slot == kEmpty) return;
      if (slot != kRemoved && EqualsIgnoreCase(nameAt(slot - 1), name)) {
        slots_[i] = kRemoved;
        return;
      }
    }
  }

  static std::size_t Hash(std::u16string_view s) {
    std::uint64_t h = 1469598103934665603ull;
    for (const char16_t c : s) {
      h ^= FoldCase(c);
      h *= 1099511628211ull;
    }
    return static_cast<std::size_t>(h ^ (h >> 29));
  }

private:
  static constexpr std::uint32_t kEmpty = 0;
  static constexpr std::uint32_t kRemoved = 0xFFFFFFFFu;

  void Rehash(std::size_t minimum) {
    std::size_t size = 16;
    while (size < minimum) size *= 2;
    slots_.assign(size, kEmpty);
    used_ = 0;
  }
  // Growing keeps every stored position; removed slots are dropped.
  template <typename NameAt>
  void Rehash(std::size_t minimum, const NameAt& nameAt) {
    std::vector<std::uint32_t> old;
    old.swap(slots_);
    Rehash(minimum);
    const std::size_t mask = slots_.size() - 1;
    for (const std::uint32_t slot : old) {
      if (slot == kEmpty || slot == kRemoved) continue;
      std::size_t i = Hash(nameAt(slot - 1)) & mask;
      while (slots_[i] != kEmpty) i = (i + 1) & mask;
      slots_[i] = slot;
      ++used_;
    }
  }

  std::vector<std::uint32_t> slots_;
  std::size_t used_ = 0;  // slots holding a position or a removal mark
};

}  // namespace tovrel
