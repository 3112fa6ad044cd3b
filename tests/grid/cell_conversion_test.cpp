// Cells, the cell store and columns without a window: conversions, errors,
// the change path and row swaps.
#include "grid/cells.h"
#include "grid/column_display.h"
#include "grid/columns.h"
#include "grid/float_text.h"
#include "grid/grid_errors.h"
#include <QLocale>
#include <gtest/gtest.h>
#include <cmath>
#include <limits>

namespace vantrel::grid {
namespace {

struct Store {
    Store()
    {
        columns.Add<TNxTextColumn>();
        columns.Add<TNxProgressColumn>();
        cells.AddColumn(columns[0]);
        cells.AddColumn(columns[1]);
        cells.AddRows(3, 16, columns);
    }
    TNxColumns columns;
    TCells cells;
};

struct FloatTextCase {
    double value;
    const char* text;
};

class FloatToTextTest : public ::testing::TestWithParam<FloatTextCase> {};

TEST_P(FloatToTextTest, GeneralFormWithFifteenDigits)
{
    EXPECT_EQ(FloatToText(GetParam().value).toStdString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Values, FloatToTextTest,
                         ::testing::Values(FloatTextCase{0, "0"}, FloatTextCase{-0.0, "0"}, FloatTextCase{7, "7"},
                                           FloatTextCase{45.5, "45.5"}, FloatTextCase{0.1, "0.1"},
                                           FloatTextCase{1.0 / 3.0, "0.333333333333333"},
                                           FloatTextCase{123456789012345.0, "123456789012345"},
                                           FloatTextCase{-2.25, "-2.25"}, FloatTextCase{1e20, "1e+20"}));

struct CellCase {
    const char* name;
    bool floatCell;
    std::function<void(TCell&)> set;
    const char* text;
    double number;
};

class CellSetterTest : public ::testing::TestWithParam<CellCase> {};

TEST_P(CellSetterTest, StoresAndReadsBack)
{
    Store s;
    TCell* cell = s.cells.GetCell(GetParam().floatCell ? 1 : 0, 0);
    GetParam().set(*cell);
    EXPECT_EQ(cell->GetAsString().toStdString(), GetParam().text);
    EXPECT_DOUBLE_EQ(cell->GetAsFloat(), GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(
    Setters, CellSetterTest,
    ::testing::Values(
        CellCase{"FloatFromInteger", true, [](TCell& c) { c.SetAsInteger(7); }, "7", 7.0},
        CellCase{"FloatFromFloat", true, [](TCell& c) { c.SetAsFloat(45.5); }, "45.5", 45.5},
        CellCase{"FloatFromText", true, [](TCell& c) { c.SetAsString(QStringLiteral(" 12.75 ")); }, "12.75", 12.75},
        CellCase{"FloatFromBoolean", true, [](TCell& c) { c.SetAsBoolean(true); }, "1", 1.0},
        CellCase{"StringFromInteger", false, [](TCell& c) { c.SetAsInteger(-12); }, "-12", -12.0},
        CellCase{"StringFromFloat", false, [](TCell& c) { c.SetAsFloat(2.5); }, "2.5", 2.5},
        CellCase{"StringFromText", false, [](TCell& c) { c.SetAsString(QStringLiteral("3.25")); }, "3.25", 3.25}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CellTest, NewCellsAreEmptyTextAndZero)
{
    Store s;
    EXPECT_EQ(s.cells.GetCell(0, 2)->GetAsString(), QString());
    EXPECT_EQ(s.cells.GetCell(1, 2)->GetAsString(), QStringLiteral("0"));
    EXPECT_EQ(s.cells.GetCell(1, 2)->GetAsFloat(), 0.0);
}

TEST(CellTest, BadTextRaisesTheConversionErrorAndKeepsTheValue)
{
    Store s;
    TCell* number = s.cells.GetCell(1, 0);
    number->SetAsFloat(3.5);
    for (const char* bad : {"abc", "", "1,000", "nan", "inf", "1.5x"}) {
        try {
            number->SetAsString(QString::fromLatin1(bad));
            ADD_FAILURE() << "accepted " << bad;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("'%1' is not a valid floating point value").arg(QLatin1String(bad)));
        }
        EXPECT_EQ(number->GetAsFloat(), 3.5);
    }
    TCell* text = s.cells.GetCell(0, 0);
    text->SetAsString(QStringLiteral("Decoded"));
    EXPECT_THROW(text->GetAsFloat(), EConvertError);
    EXPECT_THROW(text->GetAsInteger(), EConvertError);
}

TEST(CellTest, IntegerReadingRoundsHalvesToEvenAndRefusesHugeValues)
{
    Store s;
    TCell* number = s.cells.GetCell(1, 0);
    number->SetAsFloat(2.5);
    EXPECT_EQ(number->GetAsInteger(), 2);
    number->SetAsFloat(3.5);
    EXPECT_EQ(number->GetAsInteger(), 4);
    number->SetAsFloat(1e12);
    EXPECT_THROW(number->GetAsInteger(), EConvertError);
    number->SetAsFloat(std::numeric_limits<double>::quiet_NaN());
    EXPECT_THROW(number->GetAsInteger(), EConvertError);
}

TEST(CellTest, LocaleDecimalSeparatorIsUsedBothWays)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    Store s;
    TCell* number = s.cells.GetCell(1, 0);
    number->SetAsFloat(45.5);
    EXPECT_EQ(number->GetAsString(), QStringLiteral("45,5"));
    number->SetAsString(QStringLiteral("1,25"));
    EXPECT_EQ(number->GetAsFloat(), 1.25);
    EXPECT_EQ(FloatToText(1234567.0), QStringLiteral("1234567"));   // never grouped
    QLocale::setDefault(saved);
}

TEST(CellStoreTest, BadAddressesRaiseTheListError)
{
    Store s;
    for (auto [col, row, index] : {std::tuple{0, 3, 3}, {0, -1, -1}, {1, 100, 100}, {2, 0, 2}, {-1, 0, -1}}) {
        try {
            s.cells.GetCell(col, row);
            ADD_FAILURE() << col << "," << row;
        } catch (const EListError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("List index out of bounds (%1)").arg(index));
        }
    }
    EXPECT_EQ(s.cells.PeekCell(0, 3), nullptr);
}

TEST(CellStoreTest, ChangeReportsCurrentPositionThenClearsStillSorted)
{
    Store s;
    std::vector<std::pair<int, int>> reported;
    bool sortedDuringReport = false;
    s.cells.SetOnChange([&](int c, int r) {
        reported.emplace_back(c, r);
        sortedDuringReport = s.cells.SortMemory().StillSorted;
    });
    s.cells.SortMemory().StillSorted = true;
    s.cells.GetCell(1, 2)->SetAsInteger(40);
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0], std::make_pair(1, 2));
    EXPECT_TRUE(sortedDuringReport);
    EXPECT_FALSE(s.cells.SortMemory().StillSorted);

    s.cells.SortMemory().StillSorted = true;
    s.cells.AddRows(1, 16, s.columns);
    EXPECT_FALSE(s.cells.SortMemory().StillSorted);
    EXPECT_EQ(s.cells.RowCount(), 4);
    EXPECT_EQ(s.cells.VisibleRowCount(), 4);
}

TEST(CellStoreTest, SwappingRowsMovesCellObjectsAndRecords)
{
    Store s;
    TCell* a = s.cells.GetCell(0, 0);
    TCell* b = s.cells.GetCell(0, 2);
    TCell* p = s.cells.GetCell(1, 0);
    s.cells.Row(0).Selected = true;
    s.cells.SwapRows(0, 2);
    EXPECT_EQ(s.cells.GetCell(0, 2), a);
    EXPECT_EQ(s.cells.GetCell(0, 0), b);
    EXPECT_EQ(s.cells.GetCell(1, 2), p);
    EXPECT_TRUE(s.cells.Row(2).Selected);
    EXPECT_FALSE(s.cells.Row(0).Selected);
}

TEST(ColumnTest, DefaultsPerKind)
{
    TNxColumns columns;
    auto& text = columns.Add<TNxTextColumn>();
    auto& progress = columns.Add<TNxProgressColumn>();
    EXPECT_EQ(text.Options(), coCanClick | coCanInput | coCanSort | coPublicUsing | coShowTextFitHint);
    EXPECT_EQ(progress.Options(), coCanClick | coCanInput | coCanSort | coPublicUsing);
    EXPECT_EQ(text.GetColumnStyle(), csCanEdit | csFitToLargest | csTextFitHint);
    EXPECT_EQ(progress.GetColumnStyle(), TColumnStyles());
    EXPECT_EQ(text.ColumnType(), ctString);
    EXPECT_EQ(progress.ColumnType(), ctFloat);
    EXPECT_EQ(progress.DefaultValue(), QStringLiteral("0"));
    EXPECT_EQ(text.Width(), 80);
    EXPECT_EQ(text.MinWidth(), 8);
    EXPECT_EQ(text.SortKind(), skAscending);
    EXPECT_FALSE(text.Sorted());
    text.SetWidth(3);
    EXPECT_EQ(text.Width(), 8);
}

TEST(ColumnTest, MovingChangesPositionOnlyAndNeverIndex)
{
    TNxColumns columns;
    for (int i = 0; i < 4; ++i)
        columns.Add<TNxTextColumn>();
    columns.Move(columns[1], 2);   // "Status" after "Progress"
    EXPECT_EQ(columns[1].Index(), 1);
    EXPECT_EQ(columns[1].Position(), 2);
    EXPECT_EQ(columns[2].Position(), 1);
    EXPECT_EQ(columns.ByPosition(2), &columns[1]);
    columns[0].SetVisible(false);
    const auto shown = columns.VisibleInPositionOrder();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0], &columns[2]);
    EXPECT_EQ(shown[1], &columns[1]);
    EXPECT_EQ(shown[2], &columns[3]);
}

TEST(ColumnTest, CollectionRefusesColumnsBeyondTheLimit)
{
    TNxColumns columns;
    for (int i = 0; i < TCells::MaxColumns; ++i)
        columns.Add<TNxTextColumn>();
    EXPECT_THROW(columns.Add<TNxTextColumn>(), EGridError);
    EXPECT_EQ(columns.Count(), TCells::MaxColumns);
}

struct ProgressCase {
    double ratio;
    int innerWidth;
    int bar;
    const char* text;
};

class ProgressMathTest : public ::testing::TestWithParam<ProgressCase> {};

TEST_P(ProgressMathTest, BarWidthHalvesToEvenTextHalvesAwayFromZero)
{
    EXPECT_EQ(TProgressColumnDisplay::BarWidth(GetParam().innerWidth, GetParam().ratio), GetParam().bar);
    EXPECT_EQ(TProgressColumnDisplay::PercentText(GetParam().ratio, 0).toStdString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Values, ProgressMathTest,
                         ::testing::Values(ProgressCase{50, 72, 36, "50%"}, ProgressCase{45.5, 72, 33, "46%"},
                                           ProgressCase{44.4, 72, 32, "44%"}, ProgressCase{100, 72, 72, "100%"},
                                           ProgressCase{0, 72, 0, "0%"}, ProgressCase{-5, 72, 0, "-5%"},
                                           ProgressCase{150, 72, 72, "150%"}, ProgressCase{25, 10, 2, "25%"},
                                           ProgressCase{35, 10, 4, "35%"}, ProgressCase{0.5, 72, 0, "1%"},
                                           ProgressCase{2.5, 72, 2, "3%"}));

TEST(ProgressMathTest, NonFiniteRatiosDrawNoBar)
{
    EXPECT_EQ(TProgressColumnDisplay::BarWidth(72, std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(TProgressColumnDisplay::BarWidth(72, std::numeric_limits<double>::infinity()), 72);
    EXPECT_EQ(TProgressColumnDisplay::BarWidth(72, 1e300), 72);
    EXPECT_EQ(TProgressColumnDisplay::PercentText(45.55, 1), QStringLiteral("45.6%"));
}

TEST(ProgressMathTest, BlendRoundsEachChannelHalvesToEven)
{
    const QColor a(255, 255, 255);
    const QColor b(0x33, 0x99, 0xFF);
    EXPECT_EQ(TProgressColumnDisplay::Blend(a, b, 0.0), a);
    EXPECT_EQ(TProgressColumnDisplay::Blend(a, b, 1.0), b);
    // (255 + 51) / 2 = 153, (255 + 153) / 2 = 204, 255
    EXPECT_EQ(TProgressColumnDisplay::Blend(a, b, 0.5), QColor(153, 204, 255));
    // 0.5 * 1 + 0.5 * 0 = 0.5 -> 0 (even); 0.5 * 3 = 1.5 -> 2
    EXPECT_EQ(TProgressColumnDisplay::Blend(QColor(1, 3, 0), QColor(0, 0, 0), 0.5), QColor(0, 2, 0));
}

} // namespace
} // namespace vantrel::grid
