#pragma once
// The Run command: every row of the file list, in the table's current order,
// decoded into a new file, and each row's result written back into it.
#include <QString>
#include <chrono>
#include <optional>
#include <string>

#include "batch/file_services.h"
#include "batch/file_table.h"
#include "batch/key_code_page.h"
#include "batch/run_outputs.h"

namespace vantrel::platform {
class MessageBoxes;
}

namespace vantrel::batch {

// What the window holds when Run is clicked. During a run the key field and
// the option are locked, so these stay what they were at the click.
struct RunInputs {
    QString typedKey;
    bool keyCheck = true;
    std::optional<QString> outputFolder; // set once the user chose a folder
    // The code page the key's bytes are taken in; the window passes its
    // locale's (LocaleKeyCodePage()).
    std::string keyCodePage = std::string(DefaultKeyCodePage);
};

// The window's side of a run in progress.
class RunControls {
public:
    virtual ~RunControls() = default;
    // Stop in place of Run, and every control that could change the list,
    // its order, the key or the option locked; or all back.
    virtual void SetRunning(bool running) = 0;
    // Set by the Stop command; a run clears it when it starts.
    virtual bool GetStopRequested() const = 0;
    virtual void SetStopRequested(bool requested) = 0;
};

class DecodingRun {
public:
    static constexpr std::chrono::milliseconds DefaultEventInterval{50};

    DecodingRun(grid::TNextGrid& table, RunControls& controls, const FileServices& services,
                platform::MessageBoxes& messages);

    // Returns when every row was visited, or when a stop request was
    // honoured: the row being decoded is then back to "Not decoded" and the
    // rows after it are untouched. Does nothing while a run is under way.
    void Execute(const RunInputs& inputs);
    bool IsActive() const { return active_; }
    // The outputs of the rows that show one, as their runs wrote them.
    const RunOutputs& Outputs() const { return outputs_; }

    // How long a file may keep the thread before pending events are handled.
    void SetEventInterval(std::chrono::milliseconds interval) { eventInterval_ = interval; }

private:
    // Without a chosen folder the outputs go beside the sources.
    bool SourcesAllowed(bool outputFolderChosen) const;
    void VisitRows(const RunInputs& inputs);
    void RecordOutput(const std::string& outputPath, const std::string& keyCodePage);

    FileTable table_;
    RunControls& controls_;
    FileServices services_;
    platform::MessageBoxes& messages_;
    std::chrono::milliseconds eventInterval_ = DefaultEventInterval;
    bool active_ = false;
    RunOutputs outputs_;
};

} // namespace vantrel::batch
