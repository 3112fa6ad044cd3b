// The grid as assistive tools read it, in process: the table's columns,
// headers, rows and cell texts through adding, sorting, moving and hiding,
// the selection, the progress value, and the events a tool hears.
#include "accessible_events.h"
#include "file_table_fixture.h"
#include "grid/table_accessible.h"
#include "grid/table_accessible_events.h"

#include <QAccessible>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>

namespace vantrel::grid {
namespace {

using testing::Mouse;
using testing::ShownFileTable;
using vantrel::testing::AccessibleEventRecorder;
using vantrel::testing::ToldEvent;

enum Col { Source = 0, Status = 1, Progress = 2, Decoded = 3 };

// Before the grid exists: an interface once made is kept for the grid's life.
struct FactoryInstalled {
    FactoryInstalled() { QAccessible::installFactory(&NextGridAccessibleFactory); }
};

struct AccessibleTable : FactoryInstalled, ShownFileTable {
    QAccessibleInterface* Iface() const { return QAccessible::queryAccessibleInterface(grid); }
    QAccessibleTableInterface* Table() const { return Iface()->tableInterface(); }
    void AddFile(const QString& source, const QString& status, double progress, const QString& decoded)
    {
        const int row = grid->AddRow(1);
        grid->GetCell(Source, row)->SetAsString(source);
        grid->GetCell(Status, row)->SetAsString(status);
        grid->GetCell(Progress, row)->SetAsFloat(progress);
        grid->GetCell(Decoded, row)->SetAsString(decoded);
    }
    QPoint HeaderCentre(int col) const { return grid->HeaderRect(grid->Columns()[col]).center(); }
};

// The table as a tool reads it: column descriptions, then each row's cell
// names. Checks on the way that headers and cells are the same objects
// whether reached as children or by row and column.
std::vector<QStringList> Read(QAccessibleInterface& iface)
{
    QAccessibleTableInterface& table = *iface.tableInterface();
    const int columns = table.columnCount();
    std::vector<QStringList> seen(1);
    for (int c = 0; c < columns; ++c) {
        seen[0] << table.columnDescription(c);
        QAccessibleInterface* header = iface.child(c);
        EXPECT_EQ(header->role(), QAccessible::ColumnHeader);
        EXPECT_EQ(header->text(QAccessible::Name), table.columnDescription(c));
        EXPECT_EQ(iface.indexOfChild(header), c);
    }
    for (int r = 0; r < table.rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < columns; ++c) {
            QAccessibleInterface* cell = table.cellAt(r, c);
            EXPECT_EQ(cell->role(), QAccessible::Cell);
            EXPECT_EQ(iface.child((r + 1) * columns + c), cell);
            EXPECT_EQ(iface.indexOfChild(cell), (r + 1) * columns + c);
            EXPECT_EQ(cell->tableCellInterface()->columnHeaderCells().value(0), iface.child(c));
            row << cell->text(QAccessible::Name);
        }
        seen.push_back(row);
    }
    EXPECT_EQ(iface.childCount(), columns * (table.rowCount() + 1));
    return seen;
}

struct Step {
    const char* name;
    std::function<void(AccessibleTable&)> act;
    std::vector<QStringList> expected;   // headers, then rows
};

TEST(TableAccessibleTest, ShowsVisibleColumnsInScreenOrderAndRowsInTheirCurrentOrder)
{
    AccessibleTable t;
    ASSERT_NE(t.Table(), nullptr);
    EXPECT_EQ(t.Iface()->role(), QAccessible::Table);
    const QStringList headers{"Source files", "Status", "Progress", "Decoded files"};
    const Step steps[] = {
        {"empty", [](AccessibleTable&) {}, {headers}},
        {"rows added",
         [](AccessibleTable& t) {
             t.AddFile("b.txt", "Not decoded", 0, "");
             t.AddFile("a.txt", "Decoding", 45.4, "");
             t.AddFile("c.txt", "Decoded", 100, "/out/c-dec.txt");
         },
         {headers,
          {"b.txt", "Not decoded", "0%", ""},
          {"a.txt", "Decoding", "45%", ""},
          {"c.txt", "Decoded", "100%", "/out/c-dec.txt"}}},
        {"sorted by progress, descending",
         [](AccessibleTable& t) { t.grid->SortColumn(&t.grid->Columns()[Progress], false); },
         {headers,
          {"c.txt", "Decoded", "100%", "/out/c-dec.txt"},
          {"a.txt", "Decoding", "45%", ""},
          {"b.txt", "Not decoded", "0%", ""}}},
        {"decoded files moved before the source",
         [](AccessibleTable& t) { Mouse(t.grid->viewport()).Drag(t.HeaderCentre(Decoded), QPoint(20, 9)); },
         {{"Decoded files", "Source files", "Status", "Progress"},
          {"/out/c-dec.txt", "c.txt", "Decoded", "100%"},
          {"", "a.txt", "Decoding", "45%"},
          {"", "b.txt", "Not decoded", "0%"}}},
        {"status hidden",
         [](AccessibleTable& t) {
             const QPoint from = t.HeaderCentre(Status);
             Mouse(t.grid->viewport()).Drag(from, QPoint(from.x(), 100));
         },
         {{"Decoded files", "Source files", "Progress"},
          {"/out/c-dec.txt", "c.txt", "100%"},
          {"", "a.txt", "45%"},
          {"", "b.txt", "0%"}}},
        {"a row added after the sort",
         [](AccessibleTable& t) { t.AddFile("d.txt", "Not decoded", 0, ""); },
         {{"Decoded files", "Source files", "Progress"},
          {"/out/c-dec.txt", "c.txt", "100%"},
          {"", "a.txt", "45%"},
          {"", "b.txt", "0%"},
          {"", "d.txt", "0%"}}},
    };
    for (const Step& step : steps) {
        step.act(t);
        EXPECT_EQ(Read(*t.Iface()), step.expected) << step.name;
    }
}

TEST(TableAccessibleTest, TheProgressCellHasAValueAndTheSelectedRowIsSelected)
{
    AccessibleTable t;
    t.AddFile("a.txt", "Decoding", 45.5, "");
    t.AddFile("b.txt", "Not decoded", 0, "");
    QAccessibleInterface* progress = t.Table()->cellAt(0, Progress);
    ASSERT_NE(progress->valueInterface(), nullptr);
    EXPECT_EQ(t.Table()->cellAt(0, Source)->valueInterface(), nullptr);
    EXPECT_EQ(progress->text(QAccessible::Name), QStringLiteral("46%"));   // as the bar rounds
    EXPECT_DOUBLE_EQ(progress->valueInterface()->currentValue().toDouble(), 45.5);
    EXPECT_DOUBLE_EQ(progress->valueInterface()->minimumValue().toDouble(), 0.0);
    EXPECT_DOUBLE_EQ(progress->valueInterface()->maximumValue().toDouble(), 100.0);

    EXPECT_EQ(t.Table()->selectedRowCount(), 0);
    ASSERT_TRUE(t.Table()->selectRow(1));   // a tool selects as a click would
    EXPECT_EQ(t.grid->GetSelectedRow(), 1);
    EXPECT_EQ(t.Table()->selectedRows(), QList<int>{1});
    EXPECT_EQ(t.Table()->selectedCellCount(), 4);
    EXPECT_TRUE(t.Table()->cellAt(1, Status)->state().selected);
    EXPECT_FALSE(t.Table()->cellAt(0, Status)->state().selected);
    EXPECT_TRUE(t.Table()->cellAt(1, Source)->state().focused);   // the selected column has the focus
    EXPECT_EQ(t.Iface()->focusChild(), t.Table()->cellAt(1, Source));
    EXPECT_FALSE(t.Table()->unselectRow(1));
    EXPECT_EQ(t.grid->GetSelectedRow(), 1);
}

TEST(TableAccessibleTest, TheTableIsNamedByItsHintAndACellDescribedByItsToolTip)
{
    AccessibleTable t;
    t.grid->setToolTip(QStringLiteral("Файлы"));
    t.AddFile("a.txt", "Cannot open", 0, "");
    t.grid->GetCell(Status, 0)->SetHint(QStringLiteral("Permission denied"));
    EXPECT_EQ(t.Iface()->text(QAccessible::Name), QStringLiteral("Файлы"));
    EXPECT_EQ(t.Iface()->text(QAccessible::Description), QString());
    EXPECT_EQ(t.Table()->cellAt(0, Status)->text(QAccessible::Description), QStringLiteral("Permission denied"));
    EXPECT_EQ(t.Table()->cellAt(0, Source)->text(QAccessible::Description), QString());
    t.grid->setAccessibleName(QStringLiteral("Sources"));
    EXPECT_EQ(t.Iface()->text(QAccessible::Name), QStringLiteral("Sources"));
}

struct Heard {
    QAccessible::Event type;
    int row;
    int column;
    QString name;
    bool operator==(const Heard&) const = default;
};

void PrintTo(const Heard& h, std::ostream* out)
{
    *out << std::hex << h.type << std::dec << " (" << h.row << ", " << h.column << ") \"" << h.name.toStdString()
         << '"';
}

std::vector<Heard> HeardOf(const std::vector<ToldEvent>& events)
{
    std::vector<Heard> heard;
    for (const ToldEvent& e : events)
        heard.push_back({e.type, e.type == QAccessible::TableModelChanged ? e.firstRow : e.row,
                         e.type == QAccessible::TableModelChanged ? e.lastRow : e.column,
                         e.type == QAccessible::ValueChanged ? e.value.toString() : e.name});
    return heard;
}

TEST(TableAccessibleTest, ToolsHearOfRowsProgressStatusSelectionAndNewOrders)
{
    AccessibleTable t;
    AccessibleEventRecorder recorder;
    ASSERT_NE(t.Table(), nullptr);
    constexpr auto Name = QAccessible::NameChanged;
    constexpr auto Value = QAccessible::ValueChanged;
    constexpr auto Model = QAccessible::TableModelChanged;
    const struct {
        const char* name;
        std::function<void()> act;
        std::vector<Heard> expected;
    } steps[] = {
        {"two rows added", [&] { t.AddRows(2); }, {{Model, 0, 0, ""}, {Model, 1, 1, ""}}},
        {"the first progress change is told at once",
         [&] { t.grid->GetCell(Progress, 0)->SetAsFloat(10); },
         {{Name, 0, Progress, "10%"}, {Value, 0, Progress, "10"}}},
        {"quick ones after it are held back",
         [&] {
             t.grid->GetCell(Progress, 0)->SetAsFloat(11);
             t.grid->GetCell(Progress, 0)->SetAsFloat(12.2);
         },
         {}},
        {"a status comes after the progress held back",
         [&] { t.grid->GetCell(Status, 0)->SetAsString(QStringLiteral("Decoded")); },
         {{Name, 0, Progress, "12%"}, {Value, 0, Progress, "12.2"}, {Name, 0, Status, "Decoded"}}},
        {"a bar back at 0 is told at once",
         [&] { t.grid->GetCell(Progress, 0)->SetAsFloat(0); },
         {{Name, 0, Progress, "0%"}, {Value, 0, Progress, "0"}}},
        {"selection with the focus",
         [&] { t.grid->SetSelectedRow(1); },
         {{QAccessible::Focus, 1, Source, ""}, {QAccessible::Selection, 1, Source, ""}}},
        {"a sort", [&] { t.grid->SortColumn(&t.grid->Columns()[Status], true); },
         {{QAccessible::Focus, 0, Source, ""}, {QAccessible::Selection, 0, Source, ""}, {Model, -1, -1, ""}}},
        {"the focus back in the table lands on the selected cell after the table",
         [&] {
             t.grid->clearFocus();
             recorder.events.clear();
             t.grid->setFocus();
             QCoreApplication::processEvents();
         },
         {{QAccessible::Focus, -1, -1, ""}, {QAccessible::Focus, 0, Source, ""}}},
        {"a row removed, then the last one",
         [&] {
             t.AddRows(2);
             recorder.events.clear();
             t.grid->DeleteRows({0, 3});
         },
         {{Model, 3, 3, ""}, {Model, 0, 0, ""}, {QAccessible::Focus, 0, Source, ""},
          {QAccessible::Selection, 0, Source, ""}}},
        {"a hidden column",
         [&] { t.grid->Columns()[Decoded].SetVisible(false); },
         {{Model, -1, -1, ""}}},
    };
    for (const auto& step : steps) {
        recorder.events.clear();
        step.act();
        EXPECT_EQ(HeardOf(recorder.events), step.expected) << step.name;
    }
    EXPECT_EQ(recorder.OfType(Model).back().change, QAccessibleTableModelChangeEvent::ModelReset);
}

TEST(ProgressThrottleTest, TellsChangedTextsAtMostOncePerIntervalAndTheEndsAtOnce)
{
    TProgressThrottle throttle(250);
    const struct {
        int row;
        const char* text;
        bool atEnd;
        qint64 now;
        bool told;
    } offers[] = {
        {0, "0%", true, 0, true},        // a row's first news
        {0, "1%", false, 10, false},     // too soon
        {1, "5%", false, 20, true},      // rows are apart
        {0, "2%", false, 240, false},
        {0, "3%", false, 250, true},     // a full interval after the last told
        {0, "3%", false, 900, false},    // the same text is no news
        {0, "4%", false, 910, true},
        {0, "100%", true, 920, true},    // a full bar is told at once
    };
    for (const auto& o : offers)
        EXPECT_EQ(throttle.Offer(o.row, QString::fromLatin1(o.text), o.atEnd, o.now), o.told)
            << o.row << " " << o.text << " at " << o.now;

    EXPECT_TRUE(throttle.Offer(2, "1%", false, 0));
    EXPECT_FALSE(throttle.Offer(2, "2%", false, 1));
    EXPECT_TRUE(throttle.TakePending(2));
    EXPECT_FALSE(throttle.TakePending(2));   // taken once
    EXPECT_FALSE(throttle.TakePending(0));
}

} // namespace
} // namespace vantrel::grid
