// A work area for a text that becomes a runtime string: on the stack for the usual short text,
// on the C heap past that. The text is put together here, away from the collector, and the
// runtime string made from it at the end.
#pragma once

#include <cstddef>
#include <memory>

namespace tb {

template <std::size_t Room>
class ScratchText {
 public:
  explicit ScratchText(std::size_t size) {
    if (size > Room) {
      heap_.reset(new char[size]);
      data_ = heap_.get();
    }
  }
  ScratchText(const ScratchText&) = delete;
  ScratchText& operator=(const ScratchText&) = delete;
  char* data() { return data_; }

 private:
  char room_[Room];
  std::unique_ptr<char[]> heap_;
  char* data_ = room_;
};

}  // namespace tb
