#include "ProcessBitness.h"

bool RemoteRecordsFit(Wow64State self, Wow64State target) {
  return self == Wow64State::No || target == Wow64State::Yes;
}
