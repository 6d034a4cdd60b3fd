// Comparing dynamic values: the equality and order operators and Max.
#include <cstring>

#include "arg_demand.h"
#include "error_road.h"
#include "heap.h"
#include "tb28run/value_ops.h"

namespace {

enum class Kind { Nil, Number, String, Date, Logic, Pointer, Identity, Other };

Kind KindOf(const Usual& u) {
  switch (TypeOf(u)) {
    case T_NIL: return Kind::Nil;
    case T_INT:
    case T_FLOAT:
    case T_DWORD: return Kind::Number;
    case T_STRING: return Kind::String;
    case T_DATE: return Kind::Date;
    case T_LOGIC: return Kind::Logic;
    case T_PTR:
    case T_PTR_CALL: return Kind::Pointer;
    case T_SYMBOL:
    case T_ARRAY:
    case T_OBJECT:
    case T_CODEBLOCK: return Kind::Identity;
    default: return Kind::Other;
  }
}

bool HasOrder(Kind k) {
  return k == Kind::Number || k == Kind::String || k == Kind::Date || k == Kind::Logic || k == Kind::Pointer;
}

// Unequal: comparable for equality only, and not equal. Incomparable: not even that.
enum class Relation { Less, Equal, Greater, Unequal, Incomparable };

template <typename T>
Relation Order(T a, T b) {
  return a < b ? Relation::Less : b < a ? Relation::Greater : Relation::Equal;
}

Relation StringOrder(TbStr a, TbStr b) {
  std::uint32_t la = tb::Length(a), lb = tb::Length(b);
  int c = std::memcmp(tb::Text(a), tb::Text(b), la < lb ? la : lb);  // memcmp compares as unsigned char
  if (c != 0) return c < 0 ? Relation::Less : Relation::Greater;
  return Order(la, lb);
}

Relation Relate(const Usual& a, const Usual& b) {
  Kind ka = KindOf(a), kb = KindOf(b);
  if (ka == Kind::Nil || kb == Kind::Nil) return ka == kb ? Relation::Equal : Relation::Unequal;
  if (ka != kb || ka == Kind::Other) return Relation::Incomparable;
  switch (ka) {
    case Kind::Number: {
      double x = tb::NumberOf(a), y = tb::NumberOf(b);
      if (x != x || y != y) return Relation::Unequal;  // NaN equals nothing and has no order
      return Order(x, y);
    }
    case Kind::String: return StringOrder(AsStr(a), AsStr(b));
    case Kind::Date: return Order(AsDay(a), AsDay(b));
    case Kind::Logic: return Order(AsLogic(a), AsLogic(b));
    case Kind::Pointer: return Order(WordOf(a), WordOf(b));
    default: return TypeOf(a) == TypeOf(b) && WordOf(a) == WordOf(b) ? Relation::Equal : Relation::Unequal;
  }
}

// The relation of a to b. While the two cannot be compared (or, for an ordering, have no
// order), the offending one goes through the error road: a first when it has no order at all,
// else b. False when the error block chose the default.
bool Settle(const char* operation, Usual& a, Usual& b, bool ordering, Relation* relation) {
  bool aFits = true;
  auto comparable = [&] {
    *relation = Relate(a, b);
    aFits = !ordering || HasOrder(KindOf(a));
    bool bFits = ordering ? KindOf(a) == KindOf(b) : *relation != Relation::Incomparable;
    return aFits && bFits;
  };
  auto report = [&] { return tb::TypeReport(operation, aFits ? b : a, aFits ? UsualType(a) : T_INT, aFits ? 2 : 1); };
  return tb::Insist(comparable, report, [&](const Usual& substitute) { (aFits ? b : a) = substitute; }).holds;
}

// Two integers, the usual operands, compare as they are: no kinds, no doubles.
bool BothInts(const Usual& a, const Usual& b) { return HasType(a, T_INT) && HasType(b, T_INT); }

}  // namespace

TBRT std::int32_t _PEQ(Usual a, Usual b) {
  if (BothInts(a, b)) return AsInt(a) == AsInt(b);
  Relation r;
  return Settle("=", a, b, false, &r) && r == Relation::Equal;
}

TBRT std::int32_t _PDE(Usual a, Usual b) {
  if (BothInts(a, b)) return AsInt(a) == AsInt(b);
  return Relate(a, b) == Relation::Equal;
}

TBRT std::int32_t _PUE(Usual a, Usual b) {
  if (BothInts(a, b)) return AsInt(a) != AsInt(b);
  Relation r;
  return !Settle("<>", a, b, false, &r) || r != Relation::Equal;
}

TBRT std::int32_t _PGT(Usual a, Usual b) {
  if (BothInts(a, b)) return AsInt(a) > AsInt(b);
  Relation r;
  return Settle(">", a, b, true, &r) && r == Relation::Greater;
}

TBRT std::int32_t _PLS(Usual a, Usual b) {
  if (BothInts(a, b)) return AsInt(a) < AsInt(b);
  Relation r;
  return Settle("<", a, b, true, &r) && r == Relation::Less;
}

TBRT Usual Max(Usual a, Usual b) {
  auto numberOrDate = [](const Usual& u) { return KindOf(u) == Kind::Number || KindOf(u) == Kind::Date; };
  if (!tb::Demand("Max", a, T_INT, 1, numberOrDate)) return a;
  auto alike = [&] { return KindOf(a) == KindOf(b); };
  if (!tb::Insist(
           alike, [&] { return tb::TypeReport("Max", b, UsualType(a), 2); }, tb::Into(b))
           .holds)
    return a;
  return Relate(a, b) == Relation::Less ? b : a;  // a NaN on either side keeps the first
}
