#pragma once
// Whether another process can take this program's records.
//
// The list-view readers copy records with this program's own pointers into
// the process that owns the control. A control of the other bitness reads
// the same bytes with pointers of its own width, follows a wild text pointer
// and may crash its program, so it gets no record at all.
//
// What the system says is only whether a process runs under WOW64 (a 32-bit
// process on a 64-bit system). For a 32-bit program that runs natively the
// system is 32-bit, and so is every process on it; under WOW64, only a
// process that also runs under WOW64 is 32-bit. A 64-bit program runs on a
// 64-bit system, where a process is 32-bit exactly when it runs under WOW64.

enum class Wow64State {
  No,       // the process runs natively on its system
  Yes,      // a 32-bit process on a 64-bit system
  Unknown,  // the system would not say
};

enum class ProgramBitness {
  Bits32,
  Bits64,
};

// This program's own bitness.
inline constexpr ProgramBitness kOwnBitness =
    sizeof(void*) == 8 ? ProgramBitness::Bits64 : ProgramBitness::Bits32;

// True when a record written by a program of bitness `own`, whose process
// has the state `self`, is read by the target process as it was written.
// Whatever cannot be told is refused: a target whose state is unknown
// fits only a 32-bit program on a 32-bit system, and a 32-bit program whose
// own state is unknown fits only a target under WOW64.
bool RemoteRecordsFit(ProgramBitness own, Wow64State self, Wow64State target);
