#ifndef TUITION_ACCOUNT_SINGLE_PRECISION_H_
#define TUITION_ACCOUNT_SINGLE_PRECISION_H_

// Every answer the program gives rests on IEEE-754 single precision: an
// infinity that can be told apart, subnormal numbers, each operation rounded
// as the standard says. Flags that let the compiler assume otherwise
// (-ffast-math, -ffinite-math-only, /fp:fast) would change the answers, or
// take out the check that keeps a balance from becoming infinite, without a
// word: such a build is refused here instead.
#if defined(__FAST_MATH__) || (defined(__FINITE_MATH_ONLY__) && __FINITE_MATH_ONLY__) || \
    defined(_M_FP_FAST)
#error "tuition needs IEEE-754 arithmetic: drop -ffast-math, -ffinite-math-only, /fp:fast"
#endif

#include <cfloat>

namespace tuition {

// Rounds the value of a float expression to single precision, as storing it
// in a float does. Some CPUs compute in wider registers (the x87 unit of
// 32-bit x86 and the 68881 of m68k keep a 64-bit mantissa) and round a result
// only when it is stored to memory, which the compiler may put off or leave
// out at any optimisation level. A volatile must be stored and read back, so
// that those CPUs round at the same point as every other; where the compiler
// says that float arithmetic is done in float, it is already rounded.
inline float roundedToFloat(float value) {
#if FLT_EVAL_METHOD == 0
  return value;
#else
  volatile float stored = value;
  return stored;
#endif
}

}  // namespace tuition

#endif  // TUITION_ACCOUNT_SINGLE_PRECISION_H_
