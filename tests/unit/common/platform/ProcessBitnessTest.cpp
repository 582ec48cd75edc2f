#include "ProcessBitness.h"

#include <gtest/gtest.h>

namespace {

using enum Wow64State;
constexpr ProgramBitness k32 = ProgramBitness::Bits32;
constexpr ProgramBitness k64 = ProgramBitness::Bits64;

struct FitCase {
  ProgramBitness own;
  Wow64State self;
  Wow64State target;
  bool fits;
};

// Every combination. A 32-bit program that does not run under WOW64 is on a
// 32-bit system, where every process is 32-bit whatever it says of itself;
// under WOW64, or unsure of itself, it trusts only a target under WOW64. A
// 64-bit program is never under WOW64 itself: it fits exactly the targets
// that run natively, whatever its own state reads.
constexpr FitCase kFitCases[] = {
    {k32, No, No, true},          {k32, No, Yes, true},          {k32, No, Unknown, true},
    {k32, Yes, Yes, true},        {k32, Yes, No, false},         {k32, Yes, Unknown, false},
    {k32, Unknown, Yes, true},    {k32, Unknown, No, false},     {k32, Unknown, Unknown, false},
    {k64, No, No, true},          {k64, No, Yes, false},         {k64, No, Unknown, false},
    {k64, Yes, No, true},         {k64, Yes, Yes, false},        {k64, Yes, Unknown, false},
    {k64, Unknown, No, true},     {k64, Unknown, Yes, false},    {k64, Unknown, Unknown, false},
};

TEST(ProcessBitness_RemoteRecordsFit, EveryCombination_OnlySameBitnessFits) {
  for (const FitCase& c : kFitCases) {
    EXPECT_EQ(RemoteRecordsFit(c.own, c.self, c.target), c.fits)
        << "own " << (c.own == k64 ? 64 : 32) << " self " << static_cast<int>(c.self)
        << " target " << static_cast<int>(c.target);
  }
}

}  // namespace
