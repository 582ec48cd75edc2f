#pragma once
// The list-view control's column and item records in their 8-bit-text
// forms, as a 32-bit control reads them, and the messages that fill them.
// Declared here rather than taken from the platform's headers because the
// platform's records have grown with its versions; these are the sizes that
// every list view accepts.

#include <cstddef>
#include <cstdint>

// Asks for a column's header; the word parameter is the column index.
inline constexpr std::uint32_t kListViewGetColumnMessage = 0x1019;
// Asks for an item's or a sub-item's fields; the word parameter is 0.
inline constexpr std::uint32_t kListViewGetItemMessage = 0x1005;

// Mask bits that ask for the text.
inline constexpr std::uint32_t kListViewColumnTextMask = 4;
inline constexpr std::uint32_t kListViewItemTextMask = 1;

// What the list-view readers return.
inline constexpr std::int32_t kRemoteReadSucceeded = -1;
inline constexpr std::int32_t kRemoteReadFailed = 0;

struct TListViewColumn {
  std::uint32_t Mask = 0;
  std::int32_t Format = 0;
  std::int32_t Width = 0;
  // The caller's text buffer, which must hold TextSize + 1 bytes.
  char* Text = nullptr;
  // The buffer's size as the control sees it, the terminating zero
  // included.
  std::int32_t TextSize = 0;
  std::int32_t SubItem = 0;
  std::int32_t Image = 0;
  std::int32_t Order = 0;
};

struct TListViewItem {
  std::uint32_t Mask = 0;
  std::int32_t Item = 0;     // row, 0-based
  std::int32_t SubItem = 0;  // column, 0-based
  std::uint32_t State = 0;
  std::uint32_t StateMask = 0;
  // The caller's text buffer, which must hold TextSize + 1 bytes.
  char* Text = nullptr;
  // The buffer's size as the control sees it, the terminating zero
  // included.
  std::int32_t TextSize = 0;
  std::int32_t Image = 0;
  std::int32_t Param = 0;
  std::int32_t Indent = 0;
};

// The control reads these bytes as they lie, so the layout is fixed; it
// holds only in a 32-bit program, which is what this system is.
static_assert(sizeof(TListViewColumn) == 32);
static_assert(offsetof(TListViewColumn, Text) == 12);
static_assert(offsetof(TListViewColumn, TextSize) == 16);
static_assert(sizeof(TListViewItem) == 40);
static_assert(offsetof(TListViewItem, Text) == 20);
static_assert(offsetof(TListViewItem, TextSize) == 24);
