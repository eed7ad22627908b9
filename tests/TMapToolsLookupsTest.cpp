// TMapTools value lookups, map lists and the CSV export.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>

#include <gridsnip/tools/TMapTools.h>
#include "TestSupport.h"

namespace {

using Table = std::map<double, TMapPoint*>;

// Releases the points of first-cell tables.
struct Tables {
    std::vector<Table> tables;
    ~Tables() {
        for (auto& t : tables)
            for (auto& e : t)
                delete e.second;
    }
};

std::map<double, std::pair<double, double>> Places(const Table& table) {
    std::map<double, std::pair<double, double>> places;
    for (const auto& [key, point] : table) {
        EXPECT_EQ(point->MbrDblValue, key);
        places[key] = {point->MbrDblX, point->MbrDblY};
    }
    return places;
}

}  // namespace

TEST(TMapToolsLookups, FirstValuesInColumnOrder) {
    const auto grid = Grid(1, {{1, 2}, {1, 3}});  // centres x 0.5 / 1.5, y 1.5 / 0.5
    Tables t{
        {TMapTools::GetFirstValues(grid.get(), {}), TMapTools::GetFirstValues(grid.get(), {2})}};
    using P = std::map<double, std::pair<double, double>>;
    EXPECT_EQ(Places(t.tables[0]), (P{{1, {0.5, 1.5}}, {2, {1.5, 1.5}}, {3, {1.5, 0.5}}}));
    EXPECT_EQ(Places(t.tables[1]), (P{{1, {0.5, 1.5}}, {3, {1.5, 0.5}}}));
}

TEST(TMapToolsLookups, FirstValuesStartAsAfterANoDataCell) {
    // Scan (one column): no-data, no-data, 5 -> no entry for the marker.
    Tables t;
    t.tables.push_back(TMapTools::GetFirstValues(Grid(1, {{-9999}, {-9999}, {5}}).get(), {}));
    EXPECT_EQ(t.tables[0].count(-9999), 0u);
    // 5, no-data, no-data -> the marker at its first cell, row 1.
    t.tables.push_back(TMapTools::GetFirstValues(Grid(1, {{5}, {-9999}, {-9999}}).get(), {}));
    ASSERT_EQ(t.tables[1].count(-9999), 1u);
    EXPECT_EQ(t.tables[1][-9999]->MbrDblY, 1.5);
    // A NaN is no key and leaves the previous value: 4, NaN, 4 gives 4 once at row 0.
    t.tables.push_back(TMapTools::GetFirstValues(Grid(1, {{4}, {kNaN}, {4}, {6}}).get(), {}));
    EXPECT_EQ(t.tables[2].size(), 2u);
    EXPECT_EQ(t.tables[2][4]->MbrDblY, 3.5);
    // Several grids, in order; none gives none.
    const auto a = Grid(1, {{1}}), b = Grid(1, {{2}});
    Tables many{TMapTools::GetFirstValues(std::vector<TMap*>{a.get(), b.get()}, {})};
    ASSERT_EQ(many.tables.size(), 2u);
    EXPECT_EQ(many.tables[1].begin()->first, 2);
    EXPECT_TRUE(TMapTools::GetFirstValues(std::vector<TMap*>{}, {}).empty());
    // A failure on a later grid releases the tables made (checked under the sanitizers).
    TMap noAxes(1, 1, 1);
    noAxes.SetPoint(0, 0, 3);
    EXPECT_EQ(MessageOf([&] {
                  TMapTools::GetFirstValues(std::vector<TMap*>{a.get(), &noAxes}, {});
              }),
              "Map has no axes in TMap::GetCoordinates");
}

TEST(TMapToolsLookups, FetchMapValuesAtThePoints) {
    const auto source = Grid(1, {{1, 2}, {1, 3}});
    const auto other = Grid(1, {{10, 20}, {30, 40}});
    Tables t{{TMapTools::GetFirstValues(source.get(), {})}};
    EXPECT_EQ(TMapTools::FetchMapValues(other.get(), t.tables[0]),
              (std::map<double, double>{{1, 10}, {2, 20}, {3, 40}}));
    EXPECT_TRUE(TMapTools::FetchMapValues(other.get(), {}).empty());
    const auto small = Grid(1, {{5}});
    EXPECT_EQ(MessageOf([&] { TMapTools::FetchMapValues(small.get(), t.tables[0]); }),
              "Ordinate is out of range in TAxis::GetIndex");

    const auto many = TMapTools::FetchMapValues({other.get(), source.get()},
                                                {t.tables[0], t.tables[0], t.tables[0]});
    ASSERT_EQ(many.size(), 2u);  // the third table is ignored
    EXPECT_EQ(many[1].at(3), 3);
    EXPECT_EQ(
        MessageOf([&] {
            TMapTools::FetchMapValues({other.get(), source.get()}, {t.tables[0]});
        }),
        "Number of point tables does not match the number of maps in TMapTools::FetchMapValues");
}

TEST(TMapToolsLookups, ValuesOverlay) {
    // Scan order (column-major) of a 2 x 2 grid: (0,0), (0,1), (1,0), (1,1).
    const auto first = Grid(1, {{10, 30}, {20, kNaN}});
    const auto second = Grid(1, {{1, 2}, {1, 1}});
    const auto overlay = TMapTools::GetValuesOverlay(first.get(), second.get(), {});
    ASSERT_EQ(overlay.size(), 2u);
    ASSERT_EQ(overlay.at(1).size(), 3u);
    EXPECT_EQ(overlay.at(1)[0], 10);
    EXPECT_EQ(overlay.at(1)[1], 20);
    EXPECT_TRUE(std::isnan(overlay.at(1)[2]));  // the first grid's NaN is an entry
    EXPECT_EQ(overlay.at(2), std::vector<double>{30});
    EXPECT_EQ(TMapTools::GetValuesOverlay(first.get(), second.get(), {1}).count(1), 0u);
    const auto keys = Grid(1, {{kNaN, 2}, {1, 1}});
    EXPECT_EQ(TMapTools::GetValuesOverlay(first.get(), keys.get(), {}).size(), 2u);  // NaN no key

    const auto threeByTwo = Grid(1, {{1, 2, 3}, {4, 5, 6}});
    const auto twoByThree = Grid(1, {{1, 2}, {3, 4}, {5, 6}});
    const auto threeByFour = Grid(1, {{1, 2, 3}, {1, 2, 3}, {1, 2, 3}, {1, 2, 3}});
    EXPECT_EQ(
        MessageOf([&] { TMapTools::GetValuesOverlay(threeByTwo.get(), twoByThree.get(), {}); }),
        "Map X-dimensions do not match");
    EXPECT_EQ(
        MessageOf([&] { TMapTools::GetValuesOverlay(threeByTwo.get(), threeByFour.get(), {}); }),
        "Map Y-Dimensions do not match");
}

TEST(TMapToolsLookups, CsvExportColumnByColumn) {
    const auto grid = LoadText(kSmallGrid);
    std::ostringstream out;
    TMapTools::WriteCSVFile(grid.get(), out);
    EXPECT_EQ(out.str(),
              "2.25,4.75,1\n2.25,4.25,4\n2.75,4.75,2\n2.75,4.25,5\n3.25,4.75,3\n3.25,4.25,6\n");
    std::ostringstream empty;
    TMap none(1);
    TMapTools::WriteCSVFile(&none, empty);
    EXPECT_EQ(empty.str(), "");
}

TEST(TMapToolsLookups, FileLists) {
    TempDir dir;
    const std::string a = dir.Path("a.asc"), b = dir.Path("b.asc"), c = dir.Path("c.asc");
    WriteFile(a, kSmallGrid);
    std::vector<TMap*> twice = TARCGISFileTools::LoadFileList({a, a});
    ASSERT_EQ(twice.size(), 2u);
    EXPECT_NE(twice[0], twice[1]);
    EXPECT_EQ(Values(twice[0]), Values(twice[1]));
    EXPECT_EQ(MessageOf([&] {
                  TARCGISFileTools::LoadFileList({a, dir.Path("none.asc")});
              }),
              "Unable to open file " + dir.Path("none.asc"));

    EXPECT_EQ(MessageOf([&] {
                  TARCGISFileTools::WriteFileList(twice, {b, c, a});
              }),
              "Size of map list and filename list do not match in TARCGISFileTools::WriteFileList");
    EXPECT_FALSE(FileExists(b));
    TARCGISFileTools::WriteFileList(twice, {b, c});
    EXPECT_EQ(ReadFile(b), ReadFile(c));
    EXPECT_EQ(Values(LoadText(ReadFile(b)).get()), Values(twice[0]));
    // A failed write stops the list there: the file after it is not touched.
    const std::string d = dir.Path("d.asc");
    EXPECT_EQ(MessageOf([&] {
                  TARCGISFileTools::WriteFileList(twice, {"/dev/full", d});
              }),
              "Unable to write file /dev/full");
    EXPECT_FALSE(FileExists(d));
    for (TMap* m : twice)
        delete m;
}
