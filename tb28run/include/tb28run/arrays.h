// Arrays of dynamic values, 1-based, and the late-bound calls that take their arguments as one.
#pragma once

#include <cstdint>

#include "tb28run/values.h"

// A new array of `length` NIL elements.
TBRT TbArr ArrayCreate(std::uint32_t length);
// A new array holding copies of `count` values.
TBRT TbArr ArrayInit(std::uint32_t count, const Usual* values);

// Element access. The null array reads as an array without elements. A position outside
// 1..length raises a bound error (gencode 2) that offers a retry (the error block may have grown
// the array), the default and, for ArrayGet, a substitute for the element. ArrayGet's default is
// NIL; ArrayPut answers the value it stored, or NIL when the default left the array untouched.
TBRT Usual ArrayGet(TbArr array, std::uint32_t position);
TBRT Usual ArrayPut(TbArr array, std::uint32_t position, Usual value);
// Reachable by symbol (no declared parameters): a new array of the arguments passed.
TBRT Usual ArrayBuild(std::uint32_t countWord, Usual* args);
// Appends the value and answers it. Appending to the null array is an argument error whose
// default appends nothing (and answers NIL).
TBRT Usual AAdd(TbArr array, Usual value);
// Both keep the length and answer the array. ADel moves the elements after the position one
// place towards the front and leaves NIL last; AIns moves the elements from the position on one
// place towards the end, drops the last one and leaves NIL at the position. A position outside
// 1..length is a bound error whose default changes nothing.
TBRT TbArr ADel(TbArr array, std::uint32_t position);
TBRT TbArr AIns(TbArr array, std::uint32_t position);
// The array inside an array value (the null array for {0, 5}); any other type is an argument
// error whose default is the null array.
TBRT TbArr _P2Array(Usual value);

// Indexed access to collections, reachable by symbol. A collection is an array, walked one index
// a level, or an object whose class answers COLLECTIONGET (index 1 ... index k) and
// COLLECTIONPUT (value, index 1 ... index k): the object receives every index that is left when
// the walk reaches it, in their natural order, and its answer is the result.
//
// _ArrayGetCollection (2 declared): container, index 2 ... index k, index 1 -- the first index
// comes last. Without an index the container itself is the result.
TBRT Usual _ArrayGetCollection(std::uint32_t countWord, Usual* args);
// _ArrayPutCollection (3 declared): container, value, index 2 ... index k, index 1. Answers the
// value stored. At least one index is needed.
TBRT Usual _ArrayPutCollection(std::uint32_t countWord, Usual* args);
// Resolved by the runtime under the names _IVARGETCOLLECTION (2 declared: object, variable
// name, index 1 ... index k) and _IVARPUTCOLLECTION (3 declared: object, variable name, value,
// index 1 ... index k). The variable holds the collection the indexes walk; without an index
// the variable itself is read or written. The name is a symbol or a string.
TBRT Usual _IVarGetCollection(std::uint32_t countWord, Usual* args);
TBRT Usual _IVarPutCollection(std::uint32_t countWord, Usual* args);

// Calls the function registered under the symbol with the array's elements as its arguments:
// first the program's function table, then the runtime's own functions reachable by symbol. A
// symbol that names neither is an undefined-function error (gencode 12) whose default is NIL and
// which takes a substitute for the result. The null array passes no arguments.
TBRT Usual _CallKestFunc(Sym symbol, TbArr args);
// The value in an argument slot, as a dynamic value (NIL for no slot).
TBRT Usual _NCARG(const Usual* slot);
// The number of elements (0 for the null array).
TBRT std::uint32_t ALen(TbArr array);
