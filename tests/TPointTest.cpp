// Points: virtual copies and deletion through the base pointer.
#include <gtest/gtest.h>

#include <memory>

#include <gridsnip/grid/TMapPoint.h>

TEST(TPoint, CloneCopiesCoordinates) {
    const TPoint point(1.5, -2.5);
    const std::unique_ptr<TPoint> copy(point.Clone());
    EXPECT_EQ(copy->MbrDblX, 1.5);
    EXPECT_EQ(copy->MbrDblY, -2.5);
    EXPECT_EQ(dynamic_cast<TMapPoint*>(copy.get()), nullptr);
}

TEST(TPoint, MapPointClonesAsMapPointThroughBase) {
    // Axes copy and delete their points through TPoint pointers.
    const std::unique_ptr<TPoint> cell(new TMapPoint(1, 2, 3));
    const std::unique_ptr<TPoint> copy(cell->Clone());
    const auto* mapPoint = dynamic_cast<TMapPoint*>(copy.get());
    ASSERT_NE(mapPoint, nullptr);
    EXPECT_EQ(mapPoint->MbrDblX, 1);
    EXPECT_EQ(mapPoint->MbrDblY, 2);
    EXPECT_EQ(mapPoint->MbrDblValue, 3);
}
