// The list-view records against the platform's own, which the control
// reads.

#include "ListViewRecords.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstddef>

namespace {

// The control reads the records as the platform's LVCOLUMNA and LVITEMA of
// this program's bitness; every field the records hold lies where the
// platform's does, and each record ends where the platform's ends after its
// last field, padded as the platform pads it.
constexpr std::size_t EndAfter(std::size_t offset, std::size_t size, std::size_t alignment) {
  return (offset + size + alignment - 1) / alignment * alignment;
}

TEST(ListViewRecords_Layout, EveryFieldWhereThePlatformsRecordHasIt) {
  const struct {
    const char* field;
    std::size_t ours;
    std::size_t platforms;
  } fields[] = {
      {"column mask", offsetof(TListViewColumn, Mask), offsetof(LVCOLUMNA, mask)},
      {"column format", offsetof(TListViewColumn, Format), offsetof(LVCOLUMNA, fmt)},
      {"column width", offsetof(TListViewColumn, Width), offsetof(LVCOLUMNA, cx)},
      {"column text", offsetof(TListViewColumn, Text), offsetof(LVCOLUMNA, pszText)},
      {"column text size", offsetof(TListViewColumn, TextSize), offsetof(LVCOLUMNA, cchTextMax)},
      {"column sub-item", offsetof(TListViewColumn, SubItem), offsetof(LVCOLUMNA, iSubItem)},
      {"column image", offsetof(TListViewColumn, Image), offsetof(LVCOLUMNA, iImage)},
      {"column order", offsetof(TListViewColumn, Order), offsetof(LVCOLUMNA, iOrder)},
      {"column size", sizeof(TListViewColumn),
       EndAfter(offsetof(LVCOLUMNA, iOrder), sizeof(int), alignof(LVCOLUMNA))},
      {"item mask", offsetof(TListViewItem, Mask), offsetof(LVITEMA, mask)},
      {"item row", offsetof(TListViewItem, Item), offsetof(LVITEMA, iItem)},
      {"item column", offsetof(TListViewItem, SubItem), offsetof(LVITEMA, iSubItem)},
      {"item state", offsetof(TListViewItem, State), offsetof(LVITEMA, state)},
      {"item state mask", offsetof(TListViewItem, StateMask), offsetof(LVITEMA, stateMask)},
      {"item text", offsetof(TListViewItem, Text), offsetof(LVITEMA, pszText)},
      {"item text size", offsetof(TListViewItem, TextSize), offsetof(LVITEMA, cchTextMax)},
      {"item image", offsetof(TListViewItem, Image), offsetof(LVITEMA, iImage)},
      {"item param", offsetof(TListViewItem, Param), offsetof(LVITEMA, lParam)},
      {"item indent", offsetof(TListViewItem, Indent), offsetof(LVITEMA, iIndent)},
      {"item size", sizeof(TListViewItem),
       EndAfter(offsetof(LVITEMA, iIndent), sizeof(int), alignof(LVITEMA))},
  };
  for (const auto& f : fields) EXPECT_EQ(f.ours, f.platforms) << f.field;
  EXPECT_EQ(sizeof(TListViewItem::Param), sizeof(LPARAM));
}

}  // namespace
