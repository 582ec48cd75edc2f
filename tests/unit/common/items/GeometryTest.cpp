#include "Geometry.h"

#include <windows.h>

#include <gtest/gtest.h>

TEST(Geometry_Rect, SizeAndOrigin_FromTheEdges) {
  const TRect rect{10, 20, 110, 70};
  EXPECT_EQ(RectWidth(rect), 100);
  EXPECT_EQ(RectHeight(rect), 50);
  EXPECT_EQ(RectAtOrigin(rect), (TRect{0, 0, 100, 50}));
  EXPECT_EQ(TopLeft(rect), (TPoint{10, 20}));
}

TEST(Geometry_Rect, Move_ShiftsAllFourEdges) {
  EXPECT_EQ(MoveRect(TRect{10, 20, 110, 70}, -10, 5), (TRect{0, 25, 100, 75}));
}

TEST(Geometry_Rect, ContainsPoint_LeftAndTopInsideRightAndBottomOutside) {
  const TRect rect{0, 0, 100, 20};
  EXPECT_TRUE(RectContainsPoint(rect, {0, 0}));
  EXPECT_TRUE(RectContainsPoint(rect, {99, 19}));
  EXPECT_FALSE(RectContainsPoint(rect, {100, 10}));
  EXPECT_FALSE(RectContainsPoint(rect, {50, 20}));
  EXPECT_FALSE(RectContainsPoint(rect, {-1, 10}));
}

TEST(Geometry_Rect, ContainsRect_EdgesMayCoincide) {
  const TRect outer{0, 0, 100, 50};
  EXPECT_TRUE(RectContainsRect(outer, outer));
  EXPECT_TRUE(RectContainsRect(outer, {10, 10, 20, 20}));
  EXPECT_FALSE(RectContainsRect(outer, {10, 10, 101, 20}));
  EXPECT_FALSE(RectContainsRect(outer, {-1, 0, 20, 20}));
}

TEST(Geometry_Conversion, PlatformRecords_RoundTrip) {
  const RECT rect{-5, 6, 70, 80};
  EXPECT_EQ(FromWinRect(rect), (TRect{-5, 6, 70, 80}));
  const RECT back = ToWinRect<RECT>(FromWinRect(rect));
  EXPECT_TRUE(EqualRect(&back, &rect));
  const POINT point{-3, 4};
  EXPECT_EQ(FromWinPoint(point), (TPoint{-3, 4}));
  const POINT pointBack = ToWinPoint<POINT>({-3, 4});
  EXPECT_EQ(pointBack.x, -3);
  EXPECT_EQ(pointBack.y, 4);
}
