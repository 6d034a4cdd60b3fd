// A text put together piece by piece on the stack, for the handler's message and log record. The
// usual text fits the room given; a longer one moves to the C heap and goes on growing there.
// A runtime string's bytes are copied the moment it is added, before anything else can allocate.
//
// The handler must get through an error when memory is short: the builder throws nothing. When
// it cannot grow, or the text would pass the longest it may hold, it keeps what it has (the
// piece that did not fit as far as it fits), takes nothing more and reports itself cut.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>

#include "runtime/tb28run.h"

template <std::size_t Room>
class TextBuilder {
 public:
  // The longest text the builder holds.
  explicit TextBuilder(std::size_t longest = SIZE_MAX) : longest_(longest) {}
  TextBuilder(const TextBuilder&) = delete;
  TextBuilder& operator=(const TextBuilder&) = delete;

  void Add(const char* bytes, std::size_t count) {
    if (count > std::size_t(limit_ - end_)) return AddGrowing(bytes, count);
    if (count) std::memcpy(end_, bytes, count);
    end_ += count;
  }
  void Add(std::string_view text) { Add(text.data(), text.size()); }
  void Add(char c) {
    if (end_ == limit_ && !Grow(1)) return;
    *end_++ = c;
  }
  void Add(TbStr text) { Add(String2Psz(text), SLen(text)); }
  void AddLine(std::string_view text) {
    Add(text);
    Add("\r\n", 2);
  }
  // Makes room for a text of this many bytes at once, when memory allows, so that a text whose
  // size is known ahead is not copied while it grows.
  void Reserve(std::size_t bytes) {
    if (bytes > longest_) bytes = longest_;
    if (bytes <= capacity_ || cut_) return;
    char* bigger = new (std::nothrow) char[bytes];
    if (!bigger) return;
    MoveTo(bigger, bytes);
  }
  void DropLast(std::size_t count) { end_ -= count < Size() ? count : Size(); }
  void Clear() {
    end_ = begin_;
    limit_ = begin_ + (capacity_ < longest_ ? capacity_ : longest_);
    cut_ = false;
  }

  const char* Data() const { return begin_; }
  std::size_t Size() const { return std::size_t(end_ - begin_); }
  bool Empty() const { return end_ == begin_; }
  // Whether a piece was left out, whole or in part, since the builder was made or cleared.
  bool Cut() const { return cut_; }
  // The text as a runtime string. A builder meant for one is made with TB_MAX_STRING as its
  // longest text, so that the string holds every byte kept.
  TbStr String() const { return Mem2String(begin_, std::uint32_t(Size() < TB_MAX_STRING ? Size() : TB_MAX_STRING)); }

 private:
  __attribute__((noinline)) void AddGrowing(const char* bytes, std::size_t count) {
    count = Grow(count);
    if (count) std::memcpy(end_, bytes, count);
    end_ += count;
  }

  // Makes room for count more bytes, and answers how many of them there is room for. Half as
  // much again as the text then needs when that is to be had, so that a text growing piece by
  // piece is copied a bounded number of times; else just enough.
  std::size_t Grow(std::size_t count) {
    if (cut_) return 0;
    std::size_t size = Size();
    std::size_t wanted = count < longest_ - size ? count : longest_ - size;
    if (wanted > capacity_ - size) {
      std::size_t least = size + wanted;
      std::size_t ample = least > longest_ - least / 2 ? longest_ : least + least / 2;
      std::size_t got = ample;
      char* bigger = new (std::nothrow) char[ample];
      if (!bigger) bigger = new (std::nothrow) char[got = least];
      if (bigger) MoveTo(bigger, got);
    }
    std::size_t taken = wanted < capacity_ - size ? wanted : capacity_ - size;
    if (taken < count) {
      cut_ = true;
      limit_ = end_ + taken;  // every later piece comes here, and is left out
    }
    return taken;
  }

  void MoveTo(char* bigger, std::size_t capacity) {
    std::size_t size = Size();
    std::memcpy(bigger, begin_, size);
    heap_.reset(bigger);
    begin_ = bigger;
    end_ = begin_ + size;
    capacity_ = capacity;
    limit_ = begin_ + (capacity_ < longest_ ? capacity_ : longest_);
  }

  std::size_t longest_;
  char local_[Room];
  std::unique_ptr<char[]> heap_;
  std::size_t capacity_ = Room;
  char* begin_ = local_;
  char* end_ = local_;
  char* limit_ = local_ + (Room < longest_ ? Room : longest_);
  bool cut_ = false;
};
