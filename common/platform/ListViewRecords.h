#pragma once
// The list-view control's column and item records in their 8-bit-text
// forms, as a control of this program's own bitness reads them, and the
// messages that fill them. Declared here rather than taken from the
// platform's headers because the platform's records have grown with its
// versions; these are the sizes that every list view accepts.

#include <cstddef>
#include <cstdint>

// Asks for a column's header; the word parameter is the column index.
inline constexpr std::uint32_t kListViewGetColumnMessage = 0x1019;
// Asks for an item's or a sub-item's fields; the word parameter is 0.
inline constexpr std::uint32_t kListViewGetItemMessage = 0x1005;

// The most columns that the item model reads of one list-view row. No list
// view that people read row by row is this wide, and each column costs two
// exchanges with the control's process and adds up to twice 4095
// characters to the row's description, so a control that answers for every
// column it is asked for costs a bounded time and text.
inline constexpr std::int32_t kListViewColumnLimit = 256;

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

  // Field by field: a 64-bit record has padding, whose bytes mean nothing.
  bool operator==(const TListViewColumn&) const = default;
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
  // The item's own value; as wide as a pointer.
  std::intptr_t Param = 0;
  std::int32_t Indent = 0;

  bool operator==(const TListViewItem&) const = default;
};

// The control reads these bytes as they lie, so the layout is fixed for each
// bitness: a 32-bit control reads 32-bit pointers, a 64-bit control 64-bit
// pointers on 8-byte boundaries. A control of the other bitness reads
// neither (see ProcessBitness.h).
struct TListViewLayout {
  std::size_t ColumnSize, ColumnText, ColumnTextSize;
  std::size_t ItemSize, ItemText, ItemTextSize, ItemParam, ItemIndent;
};
inline constexpr TListViewLayout kListViewLayout32{32, 12, 16, 40, 20, 24, 32, 36};
inline constexpr TListViewLayout kListViewLayout64{40, 16, 24, 56, 24, 32, 40, 48};
inline constexpr TListViewLayout kListViewLayout =
    sizeof(void*) == 8 ? kListViewLayout64 : kListViewLayout32;
static_assert(sizeof(void*) == 4 || sizeof(void*) == 8);

static_assert(sizeof(TListViewColumn) == kListViewLayout.ColumnSize);
static_assert(offsetof(TListViewColumn, Text) == kListViewLayout.ColumnText);
static_assert(offsetof(TListViewColumn, TextSize) == kListViewLayout.ColumnTextSize);
static_assert(sizeof(TListViewItem) == kListViewLayout.ItemSize);
static_assert(offsetof(TListViewItem, Text) == kListViewLayout.ItemText);
static_assert(offsetof(TListViewItem, TextSize) == kListViewLayout.ItemTextSize);
static_assert(offsetof(TListViewItem, Param) == kListViewLayout.ItemParam);
static_assert(offsetof(TListViewItem, Indent) == kListViewLayout.ItemIndent);
