#pragma once
// Sending a list-view record to a control in another process and taking
// the answer back. The control fills records in its own address space, so
// the record and its text buffer are copied into a block reserved in that
// process:
//
//   offset 0          the record (ListViewRecords.h), its text pointer
//                     replaced by the address of the text area
//   offset R          the text area, TextSize + 1 bytes
//
// The exchange works through a narrow seam over the other process, so that
// the order of its steps and its clean-up can be checked without one.

#include <cstdint>

#include "ListViewRecords.h"

// An address in the other process, as the records carry it: as wide as this
// program's own pointers, since only a process of the same bitness gets them.
using RemoteAddress = std::uintptr_t;

// The other process and the control in it.
class RemoteControlPort {
 public:
  // Reserves and commits a read-write block; 0 when that fails.
  virtual RemoteAddress Reserve(std::uint32_t size) = 0;
  // Gives a reserved block back.
  virtual void Release(RemoteAddress block) noexcept = 0;
  // Copies bytes into or out of the other process; false when the copy
  // fails.
  virtual bool Write(RemoteAddress to, const void* bytes, std::uint32_t size) = 0;
  virtual bool Read(RemoteAddress from, void* bytes, std::uint32_t size) = 0;
  // Sends the message to the control and returns its result.
  virtual std::intptr_t Send(std::uint32_t message, std::uintptr_t wordParameter,
                             RemoteAddress longParameter) = 0;

 protected:
  ~RemoteControlPort() = default;
};

// Sends `message` with the column record; kRemoteReadSucceeded when the
// control answered and everything was copied back, else kRemoteReadFailed.
// On success the record holds the returned fields with its own text
// pointer and text size, and its buffer the returned text (TextSize + 1
// bytes): whatever the control writes back, nothing is read into the buffer
// beyond the size the caller gave. When only the text could not be copied
// back the record holds the returned fields and the buffer is unchanged; on
// any other failure both are unchanged. A record without a text buffer or
// with a negative text size fails before anything is reserved. Every block
// reserved is released before return.
std::int32_t ExchangeColumnRecord(RemoteControlPort& port, std::uint32_t message,
                                  std::uintptr_t wordParameter, TListViewColumn& column);

// The same with the item record; the word parameter is 0.
std::int32_t ExchangeItemRecord(RemoteControlPort& port, std::uint32_t message,
                                TListViewItem& item);
