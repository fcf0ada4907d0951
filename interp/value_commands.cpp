#include "interp/commands.h"

#include "interp/arguments.h"

// Integers are signed 32-bit two's complement: sums, differences, products and the one quotient
// that does not fit (-2147483648 / -1) keep the low 32 bits. The arithmetic runs in unsigned or
// 64-bit integers, where nothing overflows.
static int32_t LowBits(uint32_t bits) { return static_cast<int32_t>(bits); }

static void Set(int32_t* first, int32_t second) { *first = second; }
static void Add(int32_t* first, int32_t second) {
  *first = LowBits(static_cast<uint32_t>(*first) + static_cast<uint32_t>(second));
}
static void Subtract(int32_t* first, int32_t second) {
  *first = LowBits(static_cast<uint32_t>(*first) - static_cast<uint32_t>(second));
}
static void Multiply(int32_t* first, int32_t second) {
  *first = LowBits(static_cast<uint32_t>(*first) * static_cast<uint32_t>(second));
}
// Truncating division. A zero divisor leaves the first value as it was.
static void Divide(int32_t* first, int32_t second) {
  if (second == 0) return;
  *first = LowBits(static_cast<uint32_t>(static_cast<int64_t>(*first) / second));
}
// The remainder has the sign of the first value; a zero divisor leaves it as it was.
static void Remainder(int32_t* first, int32_t second) {
  if (second == 0) return;
  *first = static_cast<int32_t>(static_cast<int64_t>(*first) % second);
}
static void BitAnd(int32_t* first, int32_t second) { *first &= second; }
static void BitOr(int32_t* first, int32_t second) { *first |= second; }

typedef void (*IntegerStep)(int32_t* first, int32_t second);

// The two-argument integer commands: first := first <step> second. Only IValSet creates its
// first variable.
static int32_t Integers(const char* handler, char* args, bool creates, IntegerStep step) {
  int32_t* first;
  int32_t* second;
  int32_t result =
      ReadArguments(handler, args, creates ? NewVar(&first) : Value(&first), Value(&second));
  if (result < 0) return result;
  step(first, *second);
  return kGoOn;
}

int32_t FuncIValSet(char* args) { return Integers("FuncIValSet", args, true, Set); }
int32_t FuncIValAdd(char* args) { return Integers("FuncIValAdd", args, false, Add); }
int32_t FuncIValSub(char* args) { return Integers("FuncIValSub", args, false, Subtract); }
int32_t FuncIValMul(char* args) { return Integers("FuncIValMul", args, false, Multiply); }
int32_t FuncIValDiv(char* args) { return Integers("FuncIValDiv", args, false, Divide); }
int32_t FuncIValMod(char* args) { return Integers("FuncIValMod", args, false, Remainder); }
int32_t FuncAnd(char* args) { return Integers("FuncAnd", args, false, BitAnd); }
int32_t FuncOr(char* args) { return Integers("FuncOr", args, false, BitOr); }

// IValInc and IValDec: one step up or down, wrapping at the ends of the range.
static int32_t Step(const char* handler, char* args, int32_t by) {
  int32_t* value;
  int32_t result = ReadArguments(handler, args, Value(&value));
  if (result < 0) return result;
  Add(value, by);
  return kGoOn;
}

int32_t FuncIValInc(char* args) { return Step("FuncIValInc", args, 1); }
int32_t FuncIValDec(char* args) { return Step("FuncIValDec", args, -1); }

// Reals are IEEE doubles: a zero divisor gives an infinity of the right sign, 0 / 0 NaN.
enum RealStep { kRealSet, kRealAdd, kRealSubtract, kRealMultiply, kRealDivide };

// Only FValSet creates its first variable.
static int32_t Reals(const char* handler, char* args, bool creates, RealStep step) {
  double* first;
  double* second;
  int32_t result =
      ReadArguments(handler, args, creates ? NewVar(&first) : Value(&first), Value(&second));
  if (result < 0) return result;
  switch (step) {
    case kRealSet:
      *first = *second;
      break;
    case kRealAdd:
      *first += *second;
      break;
    case kRealSubtract:
      *first -= *second;
      break;
    case kRealMultiply:
      *first *= *second;
      break;
    case kRealDivide:
      *first /= *second;
      break;
  }
  return kGoOn;
}

int32_t FuncFValSet(char* args) { return Reals("FuncFValSet", args, true, kRealSet); }
int32_t FuncFValAdd(char* args) { return Reals("FuncFValAdd", args, false, kRealAdd); }
int32_t FuncFValSub(char* args) { return Reals("FuncFValSub", args, false, kRealSubtract); }
int32_t FuncFValMul(char* args) { return Reals("FuncFValMul", args, false, kRealMultiply); }
int32_t FuncFValDiv(char* args) { return Reals("FuncFValDiv", args, false, kRealDivide); }
