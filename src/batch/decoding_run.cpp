#include "batch/decoding_run.h"

#include "batch/decode_file.h"
#include "batch/decoding_key.h"
#include "batch/drive_check.h"
#include "batch/event_pump.h"
#include "batch/messages.h"
#include "platform/desktop_services.h"

#include <QScopedValueRollback>
#include <vector>

namespace vantrel::batch {
namespace {

QString MessageText(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// The key a run decodes with, from the key field's text; nothing when it is
// refused.
std::optional<std::string> RunKey(const QString& typed, const std::string& codePage)
{
    // A lone surrogate is no character, and Qt would turn it into "?".
    if (!typed.isValidUtf16()) return std::nullopt;
    const QByteArray utf8 = typed.toUtf8();
    return AcceptTypedKey(std::string_view(utf8.constData(), std::size_t(utf8.size())), "UTF-8", codePage).key;
}

// One row's turn, as the table shows it while the file decodes.
class RowObserver final : public DecodeObserver {
public:
    RowObserver(FileTable& table, int row, EventPump& events, const RunControls& controls,
                platform::MessageBoxes& messages)
        : table_(table), row_(row), events_(events), controls_(controls), messages_(messages)
    {
    }

    void Started() override
    {
        table_.SetStatus(row_, DecodingStatus);
        table_.ResetProgress(row_);
    }

    bool Progress(double percent) override
    {
        table_.SetProgress(row_, percent);
        events_.ProcessWhenDue();
        return !controls_.GetStopRequested();
    }

    // Shown while both files are still open, as the user expects the box
    // before anything is cleaned up.
    void Rejected() override { messages_.ShowError(MessageText(WrongKeyMessage)); }

private:
    FileTable& table_;
    int row_;
    EventPump& events_;
    const RunControls& controls_;
    platform::MessageBoxes& messages_;
};

void RecordResult(FileTable& table, int row, const FileResult& result)
{
    // An empty status says nothing by itself: its tool tip says why.
    const QString reason = result.outcome == FileOutcome::Rejected ? MessageText(RejectedReason)
                                                                   : QString::fromLocal8Bit(result.reason);
    table.SetStatus(row, StatusWord(result.outcome), reason);
    switch (result.outcome) {
    case FileOutcome::Decoded:
        // The bar keeps the last value the decoding reported.
        table.SetDecodedPath(row, TablePath(result.outputPath));
        return;
    case FileOutcome::Stopped:
        // Back to how the run found it: the path of an earlier run stays.
        table.SetProgress(row, 0.0);
        return;
    case FileOutcome::Rejected:
    case FileOutcome::CannotOpen:
    case FileOutcome::ReadError:
    case FileOutcome::WriteError:
    case FileOutcome::DecodeError:
        table.SetDecodedPath(row, QString());
        table.SetProgress(row, 0.0);
        return;
    }
}

void RecordFailure(FileTable& table, int row) noexcept
{
    try {
        RecordResult(table, row, {FileOutcome::DecodeError, {}, {}});
    } catch (...) {
        // The row keeps what it showed; the run goes on all the same.
    }
}

// Holds the window in its running state for as long as the row loop is on
// the stack, whatever way it leaves.
class RunningState {
public:
    explicit RunningState(RunControls& controls) : controls_(controls) { controls_.SetRunning(true); }
    ~RunningState() { controls_.SetRunning(false); }
    RunningState(const RunningState&) = delete;
    RunningState& operator=(const RunningState&) = delete;

private:
    RunControls& controls_;
};

} // namespace

DecodingRun::DecodingRun(grid::TNextGrid& table, RunControls& controls, const FileServices& services,
                         platform::MessageBoxes& messages)
    : table_(table), controls_(controls), services_(services), messages_(messages)
{
}

void DecodingRun::Execute(const RunInputs& inputs)
{
    if (active_) return;
    // Message boxes and the row loop both let events in.
    const QScopedValueRollback<bool> activeWhileHere(active_, true);
    const std::optional<std::string> key = RunKey(inputs.typedKey, inputs.keyCodePage);
    if (!key) {
        messages_.ShowError(MessageText(KeyNotCorrectMessage));
        return;
    }
    if (!SourcesAllowed(inputs.outputFolder.has_value())) {
        messages_.ShowError(MessageText(UploadFolderNotCorrectMessage));
        return;
    }
    PrepareTables(*key);

    QSet<QString> shownOutputs;
    for (int row = 0; row < table_.RowCount(); ++row) shownOutputs.insert(table_.DecodedPath(row));
    outputs_.KeepOnly(shownOutputs);

    const RunningState running(controls_);
    controls_.SetStopRequested(false);
    VisitRows(inputs);
}

bool DecodingRun::SourcesAllowed(bool outputFolderChosen) const
{
    if (outputFolderChosen) return true;
    std::vector<std::string> sources;
    sources.reserve(std::size_t(table_.RowCount()));
    for (int row = 0; row < table_.RowCount(); ++row) sources.push_back(LocalPath(table_.Source(row)));
    return !CheckSources(services_.drives, sources, false).notAllowed;
}

void DecodingRun::VisitRows(const RunInputs& inputs)
{
    EventPump events(eventInterval_);
    // Lets the window show Stop in place of Run before the first file.
    events.ProcessNow();

    OutputPlacement placement;
    if (inputs.outputFolder) placement.chosenFolder = LocalPath(*inputs.outputFolder);
    engine::DecodeBuffers buffers; // one set for every file of the run

    for (int row = 0; row < table_.RowCount(); ++row) {
        // Also between files: empty ones and ones that cannot be opened
        // report no progress, and a list of them must not freeze the window.
        events.ProcessWhenDue();
        if (controls_.GetStopRequested()) return;
        FileResult result;
        try {
            RowObserver observer(table_, row, events, controls_, messages_);
            result = DecodeFile(services_.files, LocalPath(table_.Source(row)), placement, inputs.keyCheck, observer,
                                &buffers);
            RecordResult(table_, row, result);
            if (result.outcome == FileOutcome::Decoded) RecordOutput(result.outputPath, inputs.keyCodePage);
        } catch (...) {
            // DecodeFile lets nothing through, but the row's own bookkeeping
            // can still run out of memory; the next row may fare better.
            RecordFailure(table_, row);
            continue;
        }
        if (result.outcome == FileOutcome::Stopped) return;
    }
}

void DecodingRun::RecordOutput(const std::string& outputPath, const std::string& keyCodePage)
{
    // An output that cannot even be looked at now is not shown as this
    // run's later.
    if (const std::optional<platform::FileStamp> stamp = services_.files.Stamp(outputPath))
        outputs_.Record(TablePath(outputPath), {keyCodePage, *stamp});
}

} // namespace vantrel::batch
