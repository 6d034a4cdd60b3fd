// A text put together piece by piece on the stack, for the handler's message and log record. The
// usual text fits the room given; a longer one moves to the C heap and goes on growing there.
// A runtime string's bytes are copied the moment it is added, before anything else can allocate.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "runtime/tb28run.h"

template <std::size_t Room>
class TextBuilder {
 public:
  TextBuilder() = default;
  TextBuilder(const TextBuilder&) = delete;
  TextBuilder& operator=(const TextBuilder&) = delete;

  void Add(const char* bytes, std::size_t count) {
    if (count > std::size_t(limit_ - end_)) Grow(count);
    Copy(end_, bytes, count);
    end_ += count;
  }
  void Add(std::string_view text) { Add(text.data(), text.size()); }
  void Add(char c) {
    if (end_ == limit_) Grow(1);
    *end_++ = c;
  }
  void Add(TbStr text) { Add(String2Psz(text), SLen(text)); }
  void AddLine(std::string_view text) {
    Add(text);
    Add("\r\n", 2);
  }
  void DropLast(std::size_t count) { end_ -= count < Size() ? count : Size(); }
  void Clear() { end_ = begin_; }

  const char* Data() const { return begin_; }
  std::size_t Size() const { return std::size_t(end_ - begin_); }
  bool Empty() const { return end_ == begin_; }
  // The text as a runtime string.
  TbStr String() const { return Mem2String(begin_, std::uint32_t(Size())); }

 private:
  // Most pieces are a few bytes (a number, a flag, a short name): those are copied here, as two
  // overlapping words, rather than by a call to memcpy.
  static void Copy(char* to, const char* from, std::size_t count) {
    if (count > 16) {
      std::memcpy(to, from, count);
    } else if (count >= 8) {
      CopyOverlapping<std::uint64_t>(to, from, count);
    } else if (count >= 4) {
      CopyOverlapping<std::uint32_t>(to, from, count);
    } else if (count) {
      to[0] = from[0];
      to[count / 2] = from[count / 2];
      to[count - 1] = from[count - 1];
    }
  }
  // The first and the last word of the bytes, which between them cover count bytes from one to
  // two words long.
  template <class Word>
  static void CopyOverlapping(char* to, const char* from, std::size_t count) {
    Word first, last;
    std::memcpy(&first, from, sizeof first);
    std::memcpy(&last, from + count - sizeof last, sizeof last);
    std::memcpy(to, &first, sizeof first);
    std::memcpy(to + count - sizeof last, &last, sizeof last);
  }

  __attribute__((noinline)) void Grow(std::size_t count) {
    std::size_t size = Size(), capacity = std::size_t(limit_ - begin_);
    std::size_t wanted = capacity * 2 > size + count ? capacity * 2 : size + count;
    auto bigger = std::make_unique<char[]>(wanted);
    std::memcpy(bigger.get(), begin_, size);
    heap_ = std::move(bigger);
    begin_ = heap_.get();
    end_ = begin_ + size;
    limit_ = begin_ + wanted;
  }

  char local_[Room];
  std::unique_ptr<char[]> heap_;
  char* begin_ = local_;
  char* end_ = local_;
  char* limit_ = local_ + Room;
};
