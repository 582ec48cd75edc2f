#include "ProcessBitness.h"

bool RemoteRecordsFit(ProgramBitness own, Wow64State self, Wow64State target) {
  if (own == ProgramBitness::Bits64) return target == Wow64State::No;
  return self == Wow64State::No || target == Wow64State::Yes;
}
