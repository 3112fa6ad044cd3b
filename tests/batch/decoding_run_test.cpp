// The Run command through the window: pre-checks, names and folders, the key
// check, failures, Stop and closing during a run.
#include "batch/decoding_run.h"

#include <QCoreApplication>
#include <QTimer>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <initializer_list>

#include "grid/next_grid.h"
#include "platform/closing_signals.h"
#include "testing/encipher.h"
#include "ui/nx_check_box.h"
#include "window_fixture.h"

namespace vantrel::batch::testing {
namespace {

using engine::testing::EncodedStreamBuilder;

const QString RightKey = QStringLiteral("K3Y-0F-TEN");
const QString WrongKey = QStringLiteral("NOT THE KEY");

// A source that only the right key passes (a wrong key fails all five
// pairs), with an enciphered region.
EncodedStreamBuilder Encoded(std::string_view plainTail = " end.\n")
{
    EncodedStreamBuilder stream(engine::testing::TableForKey(RightKey.toStdString()));
    stream.Plain("Report\n").CheckBlock({{"ALPHA"}, {"BRAVO"}, {"CHARLIE"}, {"DELTA"}, {"ECHO"}});
    stream.Plain("\nplain, ").Region("ATTACK AT 0600/EAST").Plain(plainTail);
    return stream;
}

// Several chunks, so that a run can be stopped inside it.
EncodedStreamBuilder Large()
{
    return Encoded(std::string(3 << 20, 'x'));
}

class RunTest : public WindowTest {
protected:
    RunTest() { form.Runner().SetEventInterval(std::chrono::milliseconds(0)); }

    // Calls act once, from inside the run, when row's progress first reaches
    // at least percent (and is not yet 100).
    void WhenProgressReaches(int row, double percent, std::function<void()> act)
    {
        QObject::connect(form.NextGrid1, &grid::TNextGrid::OnChange, form.NextGrid1,
                         [this, row, percent, act = std::move(act), done = false](int col, int r) mutable {
                             if (done || col != 2 || r != row) return;
                             const double value = form.NextGrid1->GetCell(2, r)->GetAsFloat();
                             if (value < percent || value >= 100.0) return;
                             done = true;
                             progressWhenActed = value;
                             act();
                         });
    }
    // A click on Stop as the user makes it: queued, handled when the run
    // next lets events through.
    void ClickStopSoon()
    {
        QTimer::singleShot(0, form.stop_but, [this] { form.stop_but->click(); });
    }

    std::vector<QWidget*> Locked() const
    {
        return {form.open_files_but, form.open_folder_but, form.play_but, form.Edit1, form.NxCheckBox1};
    }
    void ExpectIdle() const
    {
        EXPECT_FALSE(form.IsRunning());
        EXPECT_FALSE(form.decript_but->isHidden());
        EXPECT_TRUE(form.stop_but->isHidden());
        for (QWidget* control : Locked()) EXPECT_TRUE(control->isEnabled()) << control->metaObject()->className();
        EXPECT_TRUE(form.NextGrid1->HeaderInteractionEnabled());
    }

    double progressWhenActed = -1;
};

// --- before the first file

TEST_F(RunTest, TheKeyIsMeasuredWithoutTheBlanksAroundIt)
{
    struct Case {
        QString typed;
        bool accepted;
    } const cases[] = {
        {QStringLiteral("0123456789"), true},
        {QStringLiteral("  0123456789 \t"), true},
        {QStringLiteral(" 012345678  "), false},
        {QStringLiteral("\t\n"), false},
        {QStringLiteral("ключ-ключ"), false}, // 17 bytes in UTF-8, but 9 letters: no code page has more
    };
    const QString source = Write(QStringLiteral("a.txt"), "plain");
    Add({source});
    for (const Case& c : cases) {
        boxes.errors.clear();
        Run(c.typed);
        EXPECT_EQ(boxes.errors, c.accepted ? QStringList() : QStringList{"Decoding key is not correct!"})
            << c.typed.toStdString();
    }
    EXPECT_EQ(FilesIn(QStringLiteral("Decript")), (QStringList{"a-dec(1).txt", "a-dec.txt"}));
}

// Enciphered with the CP1251 bytes of "ключ-ключ1"; its check fields
// reject any other key.
EncodedStreamBuilder EncodedWithCyrillicKey()
{
    EncodedStreamBuilder stream(engine::testing::TableForKey("\xea\xeb\xfe\xf7-\xea\xeb\xfe\xf7" "1"));
    stream.CheckBlock({{"ALPHA"}, {"BRAVO"}, {"CHARLIE"}, {"DELTA"}, {"ECHO"}}).Plain("to: ").Region("HQ 7/B");
    return stream;
}

TEST_F(RunTest, TheKeyIsTakenInTheCodePageOfTheLocaleLanguage)
{
    const auto stream = EncodedWithCyrillicKey();
    Add({Write(QStringLiteral("a.txt"), stream.Encoded())});
    const QString key = QStringLiteral("ключ-ключ1");
    struct Case {
        const char* locale;
        QString typed;
        QString error;
    } const cases[] = {
        {"ru_RU.UTF-8", key, {}},
        {"ru_RU.UTF-8", QStringLiteral(" ключ-ключ \t"), QStringLiteral("Decoding key is not correct!")}, // 9 bytes
        {"en_US.UTF-8", key, QStringLiteral("Decoding key is not correct!")},
        // A lone surrogate is no letter; "?" in its place would be another key.
        {"uk_UA.UTF-8", key.left(4) + QChar(0xD800) + key.mid(4), QStringLiteral("Decoding key is not correct!")},
    };
    for (const Case& c : cases) {
        boxes.errors.clear();
        form.Runner().Execute({c.typed, true, std::nullopt, KeyCodePageForLocale(c.locale)});
        EXPECT_EQ(boxes.errors, c.error.isEmpty() ? QStringList() : QStringList{c.error}) << c.locale;
    }
    EXPECT_EQ(FilesIn(QStringLiteral("Decript")), QStringList{"a-dec.txt"});
    EXPECT_EQ(Read(dir.filePath(QStringLiteral("Decript/a-dec.txt"))), stream.Decoded());
}

TEST_F(RunTest, RunTakesTheCodePageOfTheLocaleTheWindowRunsUnder)
{
    const auto stream = EncodedWithCyrillicKey();
    Add({Write(QStringLiteral("a.txt"), stream.Encoded())});
    for (const char* locale : {"en_US.UTF-8", "ru_RU.UTF-8"}) {
        const TestLocale under(locale);
        ASSERT_TRUE(under.Active()) << locale << ": built by the test_locales test";
        Run(QStringLiteral("ключ-ключ1"));
    }
    EXPECT_EQ(boxes.errors, QStringList{"Decoding key is not correct!"}); // under en_US only
    EXPECT_EQ(Row(0).status, QStringLiteral("Decoded"));
    EXPECT_EQ(Read(dir.filePath(QStringLiteral("Decript/a-dec.txt"))), stream.Decoded());
}

TEST_F(RunTest, AnEmptyTableRunsAndEndsQuietly)
{
    Run(RightKey);
    EXPECT_TRUE(boxes.errors.isEmpty());
    ExpectIdle();

    Run(QStringLiteral("short"));
    EXPECT_EQ(boxes.errors, QStringList{"Decoding key is not correct!"});
}

TEST_F(RunTest, ASourceOffTheFixedDisksNeedsAChosenFolder)
{
    const QString local = Write(QStringLiteral("local/a.txt"), "plain");
    const QString remote = Write(QStringLiteral("remote/b.txt"), "plain");
    drives.notFixed.push_back(dir.filePath(QStringLiteral("remote")).toStdString());
    Add({local, remote});
    boxes.whileOpen = [this](const QString&) {
        EXPECT_FALSE(form.IsRunning()); // refused before the buttons swap
        EXPECT_TRUE(form.stop_but->isHidden());
    };

    Run(RightKey);
    EXPECT_EQ(boxes.errors, QStringList{"Upload folder is not correct!"});
    EXPECT_EQ(Statuses(), (std::vector<QString>{"Not decoded", "Not decoded"}));
    EXPECT_TRUE(files.created.empty());
    EXPECT_EQ(drives.asked.back(), remote.toStdString());
    EXPECT_EQ(drives.snapshots, 1); // one look at the drives for the whole list

    const QString out = dir.filePath(QStringLiteral("out"));
    QDir().mkpath(out);
    ChooseFolder(out);
    boxes.errors.clear();
    Run(RightKey);
    EXPECT_TRUE(boxes.errors.isEmpty());
    EXPECT_EQ(Statuses(), (std::vector<QString>{"Decoded", "Decoded"}));
    EXPECT_EQ(Row(1).decoded, out + QStringLiteral("/b-dec.txt"));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("remote/Decript"))));
}

// --- names and folders

TEST_F(RunTest, OutputsGoIntoDecriptBesideTheSourceUnderAFreshNameEachRun)
{
    const EncodedStreamBuilder stream = Encoded();
    const QString source = Write(QStringLiteral("logs/report.2024.txt"), stream.Encoded());
    Add({source});

    for (const char* expected : {"report.2024-dec.txt", "report.2024-dec(1).txt", "report.2024-dec(2).txt"}) {
        Run(RightKey);
        const QString output = dir.filePath(QStringLiteral("logs/Decript/")) + expected;
        EXPECT_EQ(Row(0).status, QStringLiteral("Decoded"));
        EXPECT_EQ(form.NextGrid1->GetCell(1, 0)->Hint(), QString());
        EXPECT_EQ(Row(0).progress, 100.0);
        EXPECT_EQ(Row(0).decoded, output);
        EXPECT_EQ(Read(output), stream.Decoded());
    }
    EXPECT_TRUE(boxes.errors.isEmpty());
    ExpectIdle();
}

TEST_F(RunTest, ARowDecodedBeforeStartsOverAndKeepsItsOldPathUntilItsResult)
{
    const QString source = Write(QStringLiteral("a.txt"), Large().Encoded());
    Add({source});
    Run(RightKey);
    const QString first = Row(0).decoded;

    RowView during;
    WhenProgressReaches(0, 0.0, [&] { during = Row(0); });
    Run(RightKey);

    EXPECT_EQ(during.status, QStringLiteral("Decoding"));
    EXPECT_LT(during.progress, 100.0);
    EXPECT_EQ(during.decoded, first);
    EXPECT_EQ(Row(0).decoded, dir.filePath(QStringLiteral("Decript/a-dec(1).txt")));
}

TEST_F(RunTest, EachOutputHoldsItsOwnSourceOnlyWhateverSizesCameBefore)
{
    // The run reads every file into the same memory: after a large file a
    // small one, and an empty one, must carry none of its bytes.
    const EncodedStreamBuilder empty(engine::testing::TableForKey(RightKey.toStdString()));
    const EncodedStreamBuilder streams[] = {Large(), Encoded(), Encoded(std::string(100 << 10, 'y')), empty,
                                            Encoded(" "), Large()};
    QStringList sources;
    for (const auto& stream : streams)
        sources.append(Write(QStringLiteral("%1.txt").arg(sources.size()), stream.Encoded()));
    Add(sources);

    Run(RightKey);

    ASSERT_EQ(Rows(), int(std::size(streams)));
    for (int row = 0; row < Rows(); ++row) {
        EXPECT_EQ(Row(row).status, QStringLiteral("Decoded")) << row;
        EXPECT_EQ(Read(Row(row).decoded), streams[row].Decoded()) << row;
    }
}

TEST_F(RunTest, SameNamesFromTwoFoldersTakeTurnsInTheChosenFolder)
{
    const QString out = dir.filePath(QStringLiteral("out"));
    QDir().mkpath(out);
    ChooseFolder(out);
    Add({Write(QStringLiteral("one/notes.txt"), "first"), Write(QStringLiteral("two/notes.txt"), "second"),
         Write(QStringLiteral("two/Отчёт"), "third")});

    Run(RightKey);

    EXPECT_EQ(Row(0).decoded, out + QStringLiteral("/notes-dec.txt"));
    EXPECT_EQ(Row(1).decoded, out + QStringLiteral("/notes-dec(1).txt"));
    EXPECT_EQ(Row(2).decoded, out + QStringLiteral("/Отчёт-dec.txt"));
    EXPECT_EQ(Read(Row(1).decoded), "second");
    EXPECT_EQ(Read(Row(2).decoded), "third");
}

TEST_F(RunTest, ARunWhileTheFolderBrowserIsOpenUsesTheFolderChosenBeforeIt)
{
    const QString out = dir.filePath(QStringLiteral("out"));
    QDir().mkpath(out);
    Add({Write(QStringLiteral("a.txt"), "plain")});
    const auto runWithBrowserOpen = [this] {
        desktop.folderBrowser.KeepOpen();
        form.open_folder_but->click();
        ASSERT_TRUE(desktop.folderBrowser.IsOpen());
        Run(RightKey);
    };

    runWithBrowserOpen();   // nothing chosen before
    EXPECT_EQ(Row(0).decoded, dir.filePath(QStringLiteral("Decript/a-dec.txt")));
    desktop.folderBrowser.Close(out);
    Run(RightKey);
    EXPECT_EQ(Row(0).decoded, out + QStringLiteral("/a-dec.txt"));

    runWithBrowserOpen();
    EXPECT_EQ(Row(0).decoded, out + QStringLiteral("/a-dec(1).txt"));
    desktop.folderBrowser.Close(QString());   // cancelled: the folder stays
    Run(RightKey);
    EXPECT_EQ(Row(0).decoded, out + QStringLiteral("/a-dec(2).txt"));
    EXPECT_TRUE(boxes.errors.isEmpty());
}

// --- the key check

TEST_F(RunTest, AWrongKeyEmptiesEachRowAfterItsOwnBox)
{
    const EncodedStreamBuilder stream = Encoded();
    Add({Write(QStringLiteral("a.txt"), stream.Encoded()), Write(QStringLiteral("b.txt"), stream.Encoded()),
         Write(QStringLiteral("c.txt"), stream.Encoded())});
    Run(RightKey); // every row now has a decoded path that the wrong key must clear

    QStringList outputsWhileBoxOpen;
    boxes.whileOpen = [&](const QString&) { outputsWhileBoxOpen += FilesIn(QStringLiteral("Decript")); };
    Run(WrongKey);

    EXPECT_EQ(boxes.errors, QStringList(3, QStringLiteral("Wrong invalid key!")));
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(Row(row).status, QString()) << row;
        EXPECT_EQ(form.NextGrid1->GetCell(1, row)->Hint(),
                  QStringLiteral("The key check proved the key wrong for this file"))
            << row;
        EXPECT_EQ(Row(row).progress, 0.0) << row;
        EXPECT_EQ(Row(row).decoded, QString()) << row;
    }
    // The rejected output is still open under the box, but has no name.
    const QStringList earlier{"a-dec.txt", "b-dec.txt", "c-dec.txt"};
    EXPECT_EQ(outputsWhileBoxOpen, earlier + earlier + earlier);
    EXPECT_EQ(FilesIn(QStringLiteral("Decript")), (QStringList{"a-dec.txt", "b-dec.txt", "c-dec.txt"}));
    ExpectIdle();
}

TEST_F(RunTest, WithTheCheckOffAnyKeyDecodes)
{
    Add({Write(QStringLiteral("a.txt"), Encoded().Encoded())});
    form.NxCheckBox1->SetChecked(false);
    Run(WrongKey);
    EXPECT_TRUE(boxes.errors.isEmpty());
    EXPECT_EQ(Row(0).status, QStringLiteral("Decoded"));
}

// --- failures

TEST_F(RunTest, EveryFailureIsNamedInItsRowAndLeavesNoOutput)
{
    using platform::testing::InjectedFaults;
    struct Case {
        const char* name;
        std::function<void(InjectedFaults&, const std::string& source)> inject;
        const char* status;
    } const cases[] = {
        {"source cannot be opened", [](InjectedFaults& f, const std::string& s) { f.cannotOpen.insert(s); },
         "Cannot open"},
        {"read error", [](InjectedFaults& f, const std::string&) { f.readFailsAfter = 300 * 1024; }, "Read error"},
        {"disk full", [](InjectedFaults& f, const std::string&) { f.writeFailsAfter = 300 * 1024; }, "Write error"},
        {"failing close", [](InjectedFaults& f, const std::string&) { f.closeFails = true; }, "Write error"},
        {"no Decript folder", [](InjectedFaults& f, const std::string&) { f.createFolderFails = true; },
         "Write error"},
        {"no output", [](InjectedFaults& f, const std::string&) { f.createFails = true; }, "Write error"},
        {"out of memory", [](InjectedFaults& f, const std::string&) { f.writeThrowsAfter = 300 * 1024; },
         "Decode error"},
    };
    const std::string encoded = Encoded(std::string(600 * 1024, 'x')).Encoded();
    for (const Case& c : cases) {
        const QString folder = QString::fromUtf8(c.name);
        const QString source = Write(folder + QStringLiteral("/big.txt"), encoded);
        Add({source, Write(folder + QStringLiteral("/next.txt"), "plain")});
        const int row = Rows() - 2;
        form.NextGrid1->GetCell(3, row)->SetAsString(QStringLiteral("/earlier/big-dec.txt"));
        files.faults = {};
        c.inject(files.faults, source.toStdString());

        Run(RightKey);

        EXPECT_EQ(Row(row).status, QString::fromUtf8(c.status)) << c.name;
        EXPECT_FALSE(form.NextGrid1->GetCell(1, row)->Hint().isEmpty()) << c.name << ": the reason is the tip";
        EXPECT_EQ(Row(row).progress, 0.0) << c.name;
        EXPECT_EQ(Row(row).decoded, QString()) << c.name;
        EXPECT_NE(Row(row + 1).status, QStringLiteral("Not decoded")) << c.name << ": the run went on";
        EXPECT_FALSE(FilesIn(folder + QStringLiteral("/Decript")).contains(QStringLiteral("big-dec.txt"))) << c.name;
        EXPECT_TRUE(boxes.errors.isEmpty()) << c.name;
        ExpectIdle();
    }
}

// --- Stop and closing during a run

TEST_F(RunTest, StopAbandonsTheCurrentFileAndLeavesLaterRowsAlone)
{
    const EncodedStreamBuilder large = Large();
    Add({Write(QStringLiteral("a.txt"), "first"), Write(QStringLiteral("b.txt"), large.Encoded()),
         Write(QStringLiteral("c.txt"), "third")});
    Run(RightKey);
    const RowView middleBefore = Row(1);
    const RowView lastBefore = Row(2);

    WhenProgressReaches(1, 25.0, [this] { ClickStopSoon(); });
    Run(RightKey);

    EXPECT_GT(progressWhenActed, 0.0);
    EXPECT_EQ(Row(0).decoded, dir.filePath(QStringLiteral("Decript/a-dec(1).txt")));
    EXPECT_EQ(Row(1).status, QStringLiteral("Not decoded"));
    EXPECT_EQ(Row(1).progress, 0.0);
    EXPECT_EQ(Row(1).decoded, middleBefore.decoded);
    EXPECT_EQ(Row(2).status, lastBefore.status);
    EXPECT_EQ(Row(2).progress, lastBefore.progress);
    EXPECT_EQ(Row(2).decoded, lastBefore.decoded);
    EXPECT_EQ(FilesIn(QStringLiteral("Decript")),
              (QStringList{"a-dec(1).txt", "a-dec.txt", "b-dec.txt", "c-dec.txt"}));
    EXPECT_EQ(Read(middleBefore.decoded), large.Decoded());
    // A row the run did not reach still shows its output as it was written.
    EXPECT_NE(form.Runner().Outputs().Find(lastBefore.decoded), nullptr);
    ExpectIdle();

    // The request does not outlive its run.
    Run(RightKey);
    EXPECT_EQ(Statuses(), (std::vector<QString>{"Decoded", "Decoded", "Decoded"}));
    // Outputs are known for the rows that show them, and only for those.
    const OutputRecord* shown = form.Runner().Outputs().Find(Row(0).decoded);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->codePage, "CP1252"); // the test runs under the C locale
    EXPECT_EQ(form.Runner().Outputs().Find(dir.filePath(QStringLiteral("Decript/a-dec.txt"))), nullptr);
}

TEST_F(RunTest, StopIsHeardBetweenFilesThatReportNoProgress)
{
    // Empty files and files that cannot be opened report no progress; the
    // run must still let the click in before the next one.
    Add({Write(QStringLiteral("a.txt"), ""), dir.filePath(QStringLiteral("missing.txt")),
         Write(QStringLiteral("c.txt"), ""), Write(QStringLiteral("d.txt"), ""),
         dir.filePath(QStringLiteral("gone.txt")), Write(QStringLiteral("f.txt"), "")});
    QObject::connect(form.NextGrid1, &grid::TNextGrid::OnChange, form.NextGrid1, [this](int col, int row) {
        if (col == 1 && row == 2 && Row(2).status == QStringLiteral("Decoded")) ClickStopSoon();
    });

    Run(RightKey);

    EXPECT_EQ(Statuses(), (std::vector<QString>{"Decoded", "Cannot open", "Decoded", "Not decoded", "Not decoded",
                                                "Not decoded"}));
    ExpectIdle();
}

TEST_F(RunTest, DuringARunOnlyStopAndTheTableItselfAnswer)
{
    Add({Write(QStringLiteral("a.txt"), Large().Encoded())});
    desktop.openFiles.Choose({Write(QStringLiteral("b.txt"), "late")});
    bool stopShown = false, runShown = true, tableEnabled = false, headerOn = true;
    std::vector<bool> lockedEnabled;
    WhenProgressReaches(0, 10.0, [&] {
        stopShown = !form.stop_but->isHidden();
        runShown = !form.decript_but->isHidden();
        tableEnabled = form.NextGrid1->isEnabled();
        headerOn = form.NextGrid1->HeaderInteractionEnabled();
        for (QWidget* control : Locked()) lockedEnabled.push_back(control->isEnabled());
        // Clicks already queued when the run began must not get in either.
        form.open_files_butClick();
        form.decript_butClick();
    });

    Run(RightKey);

    EXPECT_TRUE(stopShown);
    EXPECT_FALSE(runShown);
    EXPECT_TRUE(tableEnabled);
    EXPECT_FALSE(headerOn);
    EXPECT_EQ(lockedEnabled, std::vector<bool>(5, false));
    EXPECT_EQ(desktop.openFiles.Calls(), 1); // the second Add files never opened its dialog
    EXPECT_EQ(Rows(), 1);
    EXPECT_EQ(FilesIn(QStringLiteral("Decript")), QStringList{"a-dec.txt"}); // no run inside the run
    ExpectIdle();
}

TEST_F(RunTest, ClosingDuringARunStopsItAndClosesAfterwards)
{
    // By its close box, and by the signals of a desktop logout, a closed
    // terminal and Ctrl-C in it.
    new platform::ClosingSignals(form);
    Add({Write(QStringLiteral("a.txt"), Large().Encoded()), Write(QStringLiteral("b.txt"), "second")});
    for (const int signal : {0, SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(signal);
        form.show();
        bool closedAtOnce = signal == 0;
        WhenProgressReaches(0, 25.0, [&] {
            if (signal != 0) ::raise(signal);
            else QTimer::singleShot(0, &form, [&] { closedAtOnce = form.close(); });
        });

        Run(RightKey);

        EXPECT_FALSE(closedAtOnce);
        EXPECT_TRUE(form.isVisible()); // still there while the run unwinds
        EXPECT_EQ(Statuses(), (std::vector<QString>{"Not decoded", "Not decoded"}));
        EXPECT_TRUE(FilesIn(QStringLiteral("Decript")).isEmpty());
        QCoreApplication::processEvents();
        EXPECT_FALSE(form.isVisible());
        ExpectIdle();
    }
}

} // namespace
} // namespace vantrel::batch::testing
