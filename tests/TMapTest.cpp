// TMap: construction, axis setters, lookups by coordinate and by index.
#include <gridsnip/grid/TMap.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "TestSupport.h"

namespace {

std::unique_ptr<TAxis> Axis(double resolution, std::initializer_list<double> values, char selector,
                            double other = 0) {
    auto axis = std::make_unique<TAxis>(resolution);
    for (double v : values) {
        axis->AddPoint(selector == 'X' ? new TPoint(v, other) : new TPoint(other, v));
    }
    return axis;
}

}  // namespace

TEST(TMap, ConstructorsSizeAndFillTheGrid) {
    const TMap empty(0.5);
    EXPECT_EQ(empty.MbrLngXDim, 0);
    EXPECT_TRUE(empty.MbrVecValues.empty());
    EXPECT_EQ(empty.MbrPtrXAxis, nullptr);

    const TMap sized(0.5, 3, 2);
    EXPECT_EQ(sized.MbrLngXDim, 3);
    EXPECT_EQ(sized.MbrLngYDim, 2);
    EXPECT_EQ(sized.MbrDblNoData, -9999);
    EXPECT_EQ(Values(&sized), (std::vector<std::vector<double>>(2, std::vector<double>(3, -9999))));
    EXPECT_EQ(sized.MbrPtrYAxisInterval, nullptr);
    EXPECT_EQ(MessageOf([] { TMap(1, -1, 2); }), "Dimensions cannot be negative in TMap::Init");

    const auto x = Axis(0.5, {2.25, 2.75, 3.25}, 'X', 4.75);
    const auto y = Axis(0.5, {4.75, 4.25}, 'Y', 2.25);
    const TMap placed(x.get(), y.get());
    EXPECT_EQ(placed.MbrLngXDim, 3);
    EXPECT_EQ(placed.MbrLngYDim, 2);
    EXPECT_NE(placed.MbrPtrXAxis, x.get());  // a copy
    EXPECT_EQ(placed.MbrPtrXAxisInterval->GetSize(), 4);
    EXPECT_EQ(placed.MbrPtrYAxisInterval->GetPoint(0)->MbrDblY, 5);
    EXPECT_EQ(placed.GetPointVal(2, 1), -9999);
}

TEST(TMap, AxesOfDifferentResolutionsAreRefused) {
    const auto x = Axis(0.5, {1}, 'X');
    const auto y = Axis(0.25, {1}, 'Y');
    const auto nanAxis = Axis(std::numeric_limits<double>::quiet_NaN(), {1}, 'Y');
    EXPECT_EQ(MessageOf([&] { TMap(x.get(), y.get()); }),
              "Axes resolutions do not match in TMap::TMap");
    EXPECT_EQ(MessageOf([&] { TMap(nanAxis.get(), nanAxis.get()); }),
              "Axes resolutions do not match in TMap::TMap");
}

TEST(TMap, SettersCheckLengthsAndKeepTheOldAxesOnFailure) {
    TMap map(0.5, 3, 2);
    const auto edges = Axis(0.5, {2, 2.5, 3, 3.5}, 'X', 5);
    map.SetXAxisInterval(edges.get());
    ASSERT_EQ(map.MbrPtrXAxis->GetSize(), 3);
    EXPECT_EQ(map.MbrPtrXAxis->GetPoint(0)->MbrDblX, 2.25);
    EXPECT_EQ(map.MbrPtrXAxis->GetPoint(2)->MbrDblX, 3.25);
    EXPECT_EQ(map.MbrPtrXAxis->GetPoint(1)->MbrDblY, 5);
    TAxis* before = map.MbrPtrXAxis;

    const auto four = Axis(0.5, {1, 2, 3, 4}, 'X');
    const auto two = Axis(0.5, {1, 2}, 'Y');
    struct Case {
        void (TMap::*setter)(const TAxis*);
        const TAxis* axis;
        const char* message;
    } cases[] = {
        {&TMap::SetXAxis, four.get(),
         "Length of new X axis does not match the X dimension of the map"},
        {&TMap::SetYAxis, four.get(),
         "Length of new Y axis does not match the Y dimension of the map"},
        {&TMap::SetXAxisInterval, two.get(),
         "Length of new X interval axis does not fit the X dimension of the map"},
        {&TMap::SetYAxisInterval, two.get(),
         "Length of new Y interval axis does not fit the Y dimension of the map"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MessageOf([&] { (map.*c.setter)(c.axis); }), c.message);
    }
    EXPECT_EQ(map.MbrPtrXAxis, before);
    EXPECT_EQ(map.MbrPtrXAxisInterval->GetSize(), 4);

    // A setter whose copy cannot be made (an empty slot) changes nothing either.
    const TAxis holes(0.5, 3);
    EXPECT_EQ(MessageOf([&] { map.SetXAxis(&holes); }), "Axis point is not set in TAxis::Clone");
    EXPECT_EQ(map.MbrPtrXAxis, before);
}

TEST(TMap, LookupsByCoordinate) {
    const auto map = LoadText(kSmallGrid);
    const TPoint inside(2.6, 4.9);
    const std::unique_ptr<TMapPoint> cell(map->GetPoint(&inside));
    EXPECT_EQ(cell->MbrDblX, 2.6);
    EXPECT_EQ(cell->MbrDblY, 4.9);
    EXPECT_EQ(cell->MbrDblValue, 2);
    const std::unique_ptr<TMapPoint> byIndex(map->GetPoint(1, 0));
    EXPECT_EQ(byIndex->MbrDblX, 2.75);
    EXPECT_EQ(byIndex->MbrDblY, 4.75);
    EXPECT_EQ(byIndex->MbrDblValue, 2);
    EXPECT_EQ(map->GetPointVal(&inside), 2);
    EXPECT_EQ(map->GetIndex(4.5, 'Y'), 0);
    EXPECT_EQ(map->GetIndex(3.5, 'X'), 2);

    const TPoint south(2.1, 4.1), west(1.9, 4.1), north(2.1, 5.1);
    EXPECT_EQ(map->GetPointValues({const_cast<TPoint*>(&inside), const_cast<TPoint*>(&south)}),
              (std::vector<double>{2, 4}));
    // X is looked up before Y.
    const TPoint bothOut(1.9, 5.1);
    for (const TPoint* p : {&west, &north, &bothOut}) {
        EXPECT_EQ(MessageOf([&] { map->GetPointVal(p); }),
                  "Ordinate is out of range in TAxis::GetIndex");
    }
    EXPECT_EQ(MessageOf([&] { map->GetPointValues({const_cast<TPoint*>(&west)}); }),
              "Ordinate is out of range in TAxis::GetIndex");
    map->SetPoint(&south, 40);
    EXPECT_EQ(map->GetPointVal(0, 1), 40);
}

TEST(TMap, CellsByIndexCheckColumnFirst) {
    const auto map = LoadText(kSmallGrid);
    struct Case {
        int x, y;
        const char* message;
    } cases[] = {
        {3, 0, "X-ordinate is out of range in TMap::GetPointVal"},
        {3, 5, "X-ordinate is out of range in TMap::GetPointVal"},
        {-1, 0, "X-ordinate is out of range in TMap::GetPointVal"},
        {0, -1, "Y-ordinate is out of range in TMap::GetPointVal"},
        {0, 2, "Y-ordinate is out of range in TMap::GetPointVal"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MessageOf([&] { map->GetPointVal(c.x, c.y); }), c.message);
    }
    EXPECT_EQ(MessageOf([&] { map->GetPoint(3, 9); }),
              "LngX is out of range in TMap::GetPoint (long,long)");
    EXPECT_EQ(MessageOf([&] { map->GetPoint(0, 2); }),
              "LngY is out of range in TMap::GetPoint (long,long)");
    EXPECT_EQ(MessageOf([&] { map->GetCoordinates(-1, 9); }),
              "LngX is out of range for the X-axis in TMap::GetCoordinates");
    EXPECT_EQ(MessageOf([&] { map->GetCoordinates(0, 2); }),
              "LngY is out of range for the Y-axis in TMap::GetCoordinates");
    EXPECT_EQ(MessageOf([&] { map->GetRow(2); }), "Index is out of bounds in TMap::GetRow");
    EXPECT_EQ(MessageOf([&] { map->SetPoint(3, 0, 1.0); }),
              "Index is out of range in TMap::SetPoint");
    EXPECT_EQ(MessageOf([&] { map->SetPoint(0, -1, 1.0); }),
              "Index is out of range in TMap::SetPoint");
    EXPECT_EQ(map->GetRow(1), (std::vector<double>{4, 5, 6}));
    const std::unique_ptr<TPoint> centre(map->GetCoordinates(2, 1));
    EXPECT_EQ(centre->MbrDblX, 3.25);
    EXPECT_EQ(centre->MbrDblY, 4.25);
}

TEST(TMap, MapsWithoutAxesRefuseSpatialOperations) {
    TMap map(1, 2, 2);
    const TPoint p(0, 0);
    EXPECT_EQ(MessageOf([&] { map.GetIndex(0, 'X'); }), "Map has no axes in TMap::GetIndex");
    EXPECT_EQ(MessageOf([&] { map.GetPointVal(&p); }), "Map has no axes in TMap::GetIndex");
    EXPECT_EQ(MessageOf([&] { map.GetCoordinates(0, 0); }),
              "Map has no axes in TMap::GetCoordinates");
    EXPECT_EQ(MessageOf([&] { map.GetPoint(0, 0); }), "Map has no axes in TMap::GetCoordinates");
    EXPECT_EQ(MessageOf([&] { map.GetPointVal(nullptr); }),
              "Point is not set in TMap::GetPointVal");
    map.SetPoint(1, 1, 7);  // by index needs no axes
    EXPECT_EQ(map.GetPointVal(1, 1), 7);
}

TEST(TMap, RowsAndValues) {
    TMap map(1);
    map.AddRow({1, 2, 3, 4, 5});
    EXPECT_EQ(map.MbrLngXDim, 5);
    EXPECT_EQ(map.MbrLngYDim, 1);
    map.AddRow({1, 2, 3, 4});
    EXPECT_EQ(map.MbrLngXDim, 5);
    EXPECT_EQ(map.MbrLngYDim, 2);
    EXPECT_FALSE(map.ValuesMatchDimensions());
    // The short row cannot be read past its end.
    EXPECT_EQ(MessageOf([&] { map.GetPointVal(4, 1); }),
              "X-ordinate is out of range in TMap::GetPointVal");

    TMap grid(1, 2, 2);
    grid.MbrDblNoData = -1;
    grid.InitValues(0);
    EXPECT_EQ(grid.MbrDblNoData, -1);
    EXPECT_EQ(Values(&grid), (std::vector<std::vector<double>>{{0, 0}, {0, 0}}));
}

TEST(TMap, LookedUpCellsOutsideTheValuesAreRefused) {
    // Only a map whose members were changed by hand gets here: the axes still
    // cover three columns and two rows, the dimensions say fewer.
    auto map = LoadText(kSmallGrid);
    const TPoint east(3.4, 4.9), south(2.1, 4.1);
    map->MbrLngXDim = 2;
    EXPECT_EQ(MessageOf([&] { map->GetPointVal(&east); }),
              "LngX is out of range in TMap::GetPointVal");
    EXPECT_EQ(MessageOf([&] { map->GetPoint(&east); }),
              "LngX is out of range in TMap::GetPoint (TPoint*)");
    map->MbrLngXDim = 3;
    map->MbrLngYDim = 1;
    EXPECT_EQ(MessageOf([&] { map->GetPointVal(&south); }),
              "LngY is out of range in TMap::GetPointVal");
    EXPECT_EQ(MessageOf([&] { map->GetPoint(&south); }),
              "LngY is out of range in TMap::GetPoint (TPoint*)");
}
