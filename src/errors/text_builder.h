// A text put together piece by piece on the stack, for the handler's message and log record. The
// usual text fits the room given; a longer one moves to the C heap and goes on growing there.
// A runtime string's bytes are copied the moment it is added, before anything else can allocate.
#pragma once

#include <cstddef>
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
    if (count) std::memcpy(end_, bytes, count);
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
