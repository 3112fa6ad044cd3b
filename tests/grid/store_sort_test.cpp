// The store's row sort without a window: the two orders, the quicksort's
// result on awkward inputs, the reversal shortcut and when it must not be
// taken, and that only row records and cell objects move.
#include "grid/cells.h"
#include "grid/columns.h"
#include "grid/sort_compare.h"
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

namespace vantrel::grid {
namespace {

// Column 0 text, column 1 progress (number), column 2 text.
struct Store {
    explicit Store(int rows)
    {
        columns.Add<TNxTextColumn>();
        columns.Add<TNxProgressColumn>();
        columns.Add<TNxTextColumn>();
        for (int c = 0; c < columns.Count(); ++c)
            cells.AddColumn(columns[c]);
        cells.AddRows(rows, 16, columns);
        // The height marks each row record so that its moves can be followed.
        for (int r = 0; r < rows; ++r)
            cells.Row(r).Height = r;
        cells.SeedPivotSource(12345);
    }
    void SetTexts(int col, const std::vector<QString>& texts)
    {
        for (size_t r = 0; r < texts.size(); ++r)
            cells.GetCell(col, static_cast<int>(r))->SetAsString(texts[r]);
    }
    std::vector<QString> Texts(int col)
    {
        std::vector<QString> result;
        for (int r = 0; r < cells.RowCount(); ++r)
            result.push_back(cells.PeekCell(col, r)->GetAsString());
        return result;
    }
    // Each row as (row record mark, cell of every column), top to bottom.
    std::vector<std::vector<const void*>> RowsInOrder() const
    {
        std::vector<std::vector<const void*>> rows;
        for (int r = 0; r < cells.RowCount(); ++r) {
            std::vector<const void*> row{reinterpret_cast<const void*>(static_cast<intptr_t>(cells.Row(r).Height))};
            for (int c = 0; c < cells.ColumnCount(); ++c)
                row.push_back(cells.PeekCell(c, r));
            rows.push_back(row);
        }
        return rows;
    }
    // The rows as a set: must survive a sort.
    std::set<std::vector<const void*>> Rows() const
    {
        const auto rows = RowsInOrder();
        return {rows.begin(), rows.end()};
    }
    void ExpectOrdered(int col, TSortType type, bool ascending) const
    {
        const TCellComparer comparer(type);
        for (int r = 1; r < cells.RowCount(); ++r) {
            const int order = comparer.Compare(*cells.PeekCell(col, r - 1), *cells.PeekCell(col, r));
            EXPECT_TRUE(ascending ? order <= 0 : order >= 0) << "rows " << r - 1 << " and " << r;
        }
    }
    TNxColumns columns;
    TCells cells;
};

QString RandomPath(QRandomGenerator& random)
{
    static const QString letters = QStringLiteral("abcAB/_.z09");
    QString path = QStringLiteral("C:/");
    const int length = random.bounded(1, 12);
    for (int i = 0; i < length; ++i)
        path += letters[random.bounded(static_cast<int>(letters.size()))];
    return path;
}

struct OrdinalCase {
    const char16_t* less;
    const char16_t* greater;
};

class OrdinalOrderTest : public ::testing::TestWithParam<OrdinalCase> {};

TEST_P(OrdinalOrderTest, SixteenBitUnitsAsUnsignedNumbers)
{
    const QString a = QString::fromUtf16(GetParam().less);
    const QString b = QString::fromUtf16(GetParam().greater);
    EXPECT_LT(CompareOrdinal(a, b), 0);
    EXPECT_GT(CompareOrdinal(b, a), 0);
    EXPECT_EQ(CompareOrdinal(a, a), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, OrdinalOrderTest,
    ::testing::Values(OrdinalCase{u"C:/B.txt", u"C:/a.txt"},          // capital B before small a
                      OrdinalCase{u"", u"Decoded"},                    // the status words in order
                      OrdinalCase{u"Decoded", u"Decoding"},
                      OrdinalCase{u"Decoding", u"Not decoded"},
                      OrdinalCase{u"C:/a", u"C:/a/b"},                 // a prefix first
                      OrdinalCase{u"Z", u"\u00e9"},                    // no locale: é after Z
                      OrdinalCase{u"\u00e9", u"\uff21"},               // high units are not negative
                      OrdinalCase{u"\U0001F600", u"\uff21"}));         // surrogates by their unit values

// The sort decides most comparisons on packed units after the texts' common
// part; that must never disagree with the full ordinal order, whatever the
// texts end with: early ends, zero units, high units, texts equal up to the
// packed units.
TEST(OrdinalOrderTest, PackedPrefixesAgreeWithTheFullOrder)
{
    using namespace std::literals;
    const auto text = [](std::u16string_view units) {
        return QString(reinterpret_cast<const QChar*>(units.data()), static_cast<qsizetype>(units.size()));
    };
    const std::vector<QString> texts = {
        text(u"C:/logs/"), text(u"C:/logs/a"), text(u"C:/logs/ab"), text(u"C:/logs/abcd"),
        text(u"C:/logs/abcdX"), text(u"C:/logs/abcdY"), text(u"C:/logs/B"), text(u"C:/logs/a\0"sv),
        text(u"C:/logs/a\0b"sv), text(u"C:/logs/\uffff"), text(u"C:/logs/\u00e9t\u00e9"), text(u"C:/log"),
        text(u"C:/logs/abcd")};
    for (const TSortType type : {stAlphabetic, stNumeric}) {
        TNxColumns columns;
        columns.Add<TNxTextColumn>();
        TCells cells;
        cells.AddColumn(columns[0]);
        cells.AddRows(static_cast<int>(texts.size()), 16, columns);
        const TCellComparer comparer(type);
        std::vector<TSortKey> keys;
        for (size_t r = 0; r < texts.size(); ++r) {
            cells.GetCell(0, static_cast<int>(r))->SetAsString(texts[r]);
            keys.push_back(comparer.KeyOf(*cells.PeekCell(0, static_cast<int>(r))));
        }
        comparer.PreparePrefixes(keys);
        const auto sign = [](int v) { return (v > 0) - (v < 0); };
        for (size_t a = 0; a < keys.size(); ++a)
            for (size_t b = 0; b < keys.size(); ++b)
                EXPECT_EQ(sign(comparer.Compare(keys[a], keys[b])), sign(CompareOrdinal(texts[a], texts[b])))
                    << a << " vs " << b;
    }
}

TEST(NumberOrderTest, NaNIsATotalOrderBelowEveryNumber)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(CompareNumbers(nan, nan), 0);
    EXPECT_LT(CompareNumbers(nan, -1e300), 0);
    EXPECT_GT(CompareNumbers(0.0, nan), 0);
    EXPECT_LT(CompareNumbers(9.5, 10.0), 0);
    EXPECT_EQ(CompareNumbers(-0.0, 0.0), 0);
}

TEST(StoreSortTest, TextsSortOrdinallyAndWholeRowsMoveWithTheirRecords)
{
    QRandomGenerator random(7);
    const int rows = 500;
    Store store(rows);
    for (int r = 0; r < rows; ++r) {
        store.cells.GetCell(0, r)->SetAsString(RandomPath(random));
        store.cells.GetCell(2, r)->SetAsString(QString::number(r));
    }
    const auto before = store.Rows();
    for (bool ascending : {true, false}) {
        store.cells.Sort(0, stAlphabetic, ascending, true);
        store.ExpectOrdered(0, stAlphabetic, ascending);
        EXPECT_EQ(store.Rows(), before);
    }
}

TEST(StoreSortTest, StatusWordsSortAsTheEmptyStatusThenDecodedDecodingNotDecoded)
{
    Store store(6);
    store.SetTexts(2, {"Not decoded", "Decoding", "", "Decoded", "Not decoded", ""});
    store.cells.Sort(2, stAlphabetic, true);
    EXPECT_EQ(store.Texts(2),
              (std::vector<QString>{"", "", "Decoded", "Decoding", "Not decoded", "Not decoded"}));
}

TEST(StoreSortTest, NumbersSortByValueAndUnreadableTextFallsBackToText)
{
    Store store(5);
    const double values[] = {100, 9.5, 10, 0, 45.5};
    for (int r = 0; r < 5; ++r)
        store.cells.GetCell(1, r)->SetAsFloat(values[r]);
    store.cells.Sort(1, stNumeric, true);
    EXPECT_EQ(store.Texts(1), (std::vector<QString>{"0", "9.5", "10", "45.5", "100"}));

    // A text column sorted as numbers: 9.5 < 10 < 100 by value; the word
    // compares to the numbers as text, and "1" < "9" < "a".
    store.SetTexts(0, {"100", "abc", "9.5", "10", "9"});
    store.cells.Sort(0, stNumeric, true);
    EXPECT_EQ(store.Texts(0), (std::vector<QString>{"9", "9.5", "10", "100", "abc"}));
}

TEST(StoreSortTest, NaNProgressValuesSortFirstInsteadOfRunningOffTheRows)
{
    Store store(40);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (int r = 0; r < 40; ++r)
        store.cells.GetCell(1, r)->SetAsFloat(r % 3 == 0 ? nan : 40 - r);
    store.cells.Sort(1, stNumeric, true);
    for (int r = 0; r < 14; ++r)
        EXPECT_TRUE(std::isnan(store.cells.PeekCell(1, r)->GetAsFloat())) << r;
    store.ExpectOrdered(1, stNumeric, true);
}

TEST(StoreSortTest, AwkwardShapesSortForManyPivotSequences)
{
    // Equal keys, two values, already sorted, reversed, tiny tables.
    const std::vector<std::vector<QString>> shapes = {
        {}, {"x"}, {"b", "a"}, {"a", "a"},
        std::vector<QString>(200, "same"),
        [] { std::vector<QString> v; for (int i = 0; i < 200; ++i) v.push_back(i % 2 ? "B" : "a"); return v; }(),
        [] { std::vector<QString> v; for (int i = 0; i < 200; ++i) v.push_back(QString::asprintf("%04d", i)); return v; }(),
        [] { std::vector<QString> v; for (int i = 200; i > 0; --i) v.push_back(QString::asprintf("%04d", i)); return v; }(),
    };
    for (size_t s = 0; s < shapes.size(); ++s) {
        for (unsigned seed = 1; seed <= 20; ++seed) {
            Store store(static_cast<int>(shapes[s].size()));
            store.cells.SeedPivotSource(seed);
            store.SetTexts(0, shapes[s]);
            const auto before = store.Rows();
            for (bool ascending : {true, false}) {
                SCOPED_TRACE(testing::Message() << "shape " << s << " seed " << seed << " asc " << ascending);
                store.cells.Sort(0, stAlphabetic, ascending, true);
                store.ExpectOrdered(0, stAlphabetic, ascending);
                EXPECT_EQ(store.Rows(), before);
            }
        }
    }
}

TEST(StoreSortTest, SortingAgainTheOtherWayReversesExactly)
{
    const int rows = 1001;
    Store store(rows);
    QRandomGenerator random(3);
    for (int r = 0; r < rows; ++r)
        store.cells.GetCell(0, r)->SetAsString(QString::number(random.bounded(50)));   // many equal keys
    const TSortOutcome first = store.cells.Sort(0, stAlphabetic, true);
    EXPECT_FALSE(first.Reversed);
    const auto ascending = store.RowsInOrder();

    // Equal keys too come out in exactly the opposite order, which a fresh
    // sort would not give; row records and every column's cells go along.
    const TSortOutcome second = store.cells.Sort(0, stAlphabetic, false);
    EXPECT_TRUE(second.Reversed);
    auto reversed = ascending;
    std::reverse(reversed.begin(), reversed.end());
    EXPECT_EQ(store.RowsInOrder(), reversed);

    const TSortOutcome third = store.cells.Sort(0, stAlphabetic, true);
    EXPECT_TRUE(third.Reversed);
    EXPECT_EQ(store.RowsInOrder(), ascending);
    EXPECT_TRUE(store.cells.SortMemory().StillSorted);
    EXPECT_EQ(store.cells.SortMemory().LastColumn, 0);
    EXPECT_TRUE(store.cells.SortMemory().LastAscending);
}

struct NoShortcutCase {
    const char* name;
    void (*between)(Store&);   // what happens after the first, ascending sort of column 0
    int column;
    bool ascending;
    bool fullResort;
};

class ReversalShortcutTest : public ::testing::TestWithParam<NoShortcutCase> {};

TEST_P(ReversalShortcutTest, FullSortWhenTheOrderMayHaveChanged)
{
    const NoShortcutCase& c = GetParam();
    Store store(60);
    for (int r = 0; r < 60; ++r) {
        store.cells.GetCell(0, r)->SetAsString(QString::number(r % 7));
        store.cells.GetCell(2, r)->SetAsString(QString::number(r % 5));
    }
    store.cells.Sort(0, stAlphabetic, true);
    c.between(store);
    const TSortOutcome outcome = store.cells.Sort(c.column, stAlphabetic, c.ascending, c.fullResort);
    EXPECT_FALSE(outcome.Reversed);
    store.ExpectOrdered(c.column, stAlphabetic, c.ascending);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReversalShortcutTest,
    ::testing::Values(
        NoShortcutCase{"CellChanged", [](Store& s) { s.cells.GetCell(0, 5)->SetAsString("9"); }, 0, false, false},
        NoShortcutCase{"ProgressChanged", [](Store& s) { s.cells.GetCell(1, 5)->SetAsFloat(3); }, 0, false, false},
        NoShortcutCase{"RowAdded", [](Store& s) { s.cells.AddRows(1, 16, s.columns); }, 0, false, false},
        NoShortcutCase{"FullResortColumn", [](Store&) {}, 0, false, true},
        NoShortcutCase{"OtherColumn", [](Store&) {}, 2, false, false},
        NoShortcutCase{"SameDirection", [](Store&) {}, 0, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StoreSortTest, AColumnThatDoesNotExistChangesNothing)
{
    Store store(3);
    store.SetTexts(0, {"c", "b", "a"});
    const auto before = store.RowsInOrder();
    store.cells.Sort(7, stAlphabetic, true);
    EXPECT_EQ(store.RowsInOrder(), before);
    EXPECT_EQ(store.Texts(0), (std::vector<QString>{"c", "b", "a"}));
    EXPECT_FALSE(store.cells.SortMemory().StillSorted);
}

} // namespace
} // namespace vantrel::grid
