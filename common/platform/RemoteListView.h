#pragma once
// Reading the columns and cells of a list-view control that may live in
// another process. Each call opens the control's process, reserves a block
// there, copies the record in, sends the message, copies the record and the
// text back and releases everything again; nothing is kept between calls.
//
// Both return kRemoteReadSucceeded or kRemoteReadFailed (ListViewRecords.h).
// They fail without touching the other process when it cannot be opened
// for reading and writing its memory, or when it would read this 32-bit
// program's records with 64-bit pointers (see ProcessBitness.h), and they
// fail when the control does not answer in time: every message goes out
// with SendMessageWithinTimeout (WindowUtils.h). What the record and its
// buffer hold after a failure is described with ExchangeColumnRecord
// (RemoteRecordExchange.h).

#include <windows.h>

#include <cstdint>

#include "ListViewRecords.h"

// Sends `message` (kListViewGetColumnMessage) with the word parameter (the
// column index) and the column record.
std::int32_t GetRemoteListViewColumn(HWND window, UINT message, WPARAM wordParameter,
                                     TListViewColumn& column);

// Sends `message` (kListViewGetItemMessage) with the item record.
std::int32_t GetRemoteListViewItem(HWND window, UINT message, TListViewItem& item);
