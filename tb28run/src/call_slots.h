// Calling a function or method with arguments: the callee gets slots of its own.
#pragma once

#include <cstdint>

#include "classes.h"
#include "collector.h"
#include "heap.h"

namespace tb {

// The callee's slots: on the native stack for the usual few (where the collector sees them),
// on the heap for long argument lists, held for the collector there: a callee may drop what its
// caller held (a method that empties the array it was sent) and still read its own slots.
class CallSlots {
 public:
  CallSlots(std::uint32_t declared, const Usual* args, std::uint32_t passed) {
    std::uint32_t n = declared > passed ? declared : passed;
    if (n > kInline) data_ = new Usual[n];
    CopyValues(data_, args, passed);
    for (std::uint32_t i = passed; i < n; ++i) data_[i] = NilValue();
    if (data_ != inline_) AddRoot(root_, data_, n);
  }
  ~CallSlots() {
    if (data_ != inline_) {
      RemoveRoot(root_);
      delete[] data_;
    }
  }
  CallSlots(const CallSlots&) = delete;
  CallSlots& operator=(const CallSlots&) = delete;
  Usual* data() { return data_; }

 private:
  static constexpr std::uint32_t kInline = 8;
  // Only the slots in use are written: clearing all eight was a good part of a short call.
  Usual inline_[kInline];
  Usual* data_ = inline_;
  SlotsRoot root_;  // while the slots are on the heap
};

// Inline: every call by symbol and every message passes here.
inline Usual CallMethod(const MethodInfo& method, Usual self, const Usual* args, std::uint32_t passed) {
  CallSlots slots(method.params, args, passed);
  return method.function(self, CountWord(std::uint16_t(method.params), std::uint16_t(passed)), slots.data());
}

inline Usual CallFunction(KestFn function, std::uint32_t declared, const Usual* args, std::uint32_t passed) {
  CallSlots slots(declared, args, passed);
  return function(CountWord(std::uint16_t(declared), std::uint16_t(passed)), slots.data());
}

}  // namespace tb
