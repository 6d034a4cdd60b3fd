// Walking a collection by a list of indexes: arrays one level an index, objects that serve
// indexed access with every index that is left.
#pragma once

#include <cstdint>
#include <vector>

#include "tb28run/values.h"

namespace tb {

struct CollectionIndex {
  Usual value;
  std::uint32_t argNum;  // its position in the caller's argument list, for error records
};

// The element the indexes (in their natural order) reach from the container; the container
// itself without indexes. Faults go the error road under the operation's name; a default
// answer ends the walk with NIL.
Usual CollectionGet(const char* operation, Usual container, std::uint32_t containerArgNum,
                    const std::vector<CollectionIndex>& indexes);
// Stores the value where the indexes (at least one) lead and answers what the store answers.
Usual CollectionPut(const char* operation, Usual container, std::uint32_t containerArgNum, Usual value,
                    const std::vector<CollectionIndex>& indexes);

}  // namespace tb
