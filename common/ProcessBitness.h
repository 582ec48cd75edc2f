#pragma once
// Whether another process can take this program's 32-bit records.
//
// The list-view readers copy records with 32-bit pointers into the process
// that owns the control. A 64-bit control reads the same bytes with 64-bit
// pointers, follows a wild text pointer and may crash its program. This
// program is always 32-bit: when it does not run under WOW64, the system is
// 32-bit and so is every process on it; when it does, only a process that
// also runs under WOW64 is 32-bit.

enum class Wow64State {
  No,       // the process runs natively on its system
  Yes,      // a 32-bit process on a 64-bit system
  Unknown,  // the system would not say
};

// True when a 32-bit record sent into the target process is read as this
// process wrote it. A target whose state is unknown is refused when this
// process runs under WOW64, or when this process's own state is unknown.
bool RemoteRecordsFit(Wow64State self, Wow64State target);
