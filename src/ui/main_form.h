#pragma once
// The program's only window: the toolbar strip with its five commands, the
// key field and the key-check option, above the file table.
#include "batch/decoding_run.h"
#include "platform/desktop_services.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>

namespace vantrel::grid {
class TNextGrid;
class TNxTextColumn;
class TNxProgressColumn;
} // namespace vantrel::grid

namespace vantrel::ui {

class TNxPanel;
class TSpeedButton;
class TNxLabel;
class TNxEdit;
class TNxCheckBox;
class FileListActions;
class TextViewers;

class TMain_form : public QWidget, public batch::RunControls {
    Q_OBJECT
public:
    // Size of the client area at 96 dpi, and the smallest the window gets
    // with its frame.
    static constexpr QSize DesignClientSize{859, 518};
    static constexpr QSize MinimumOuterSize{400, 200};
    static constexpr int StripHeight = 42;

    // Decodes with this machine's files and drives.
    explicit TMain_form(const platform::DesktopServices& services, QWidget* parent = nullptr);
    TMain_form(const platform::DesktopServices& services, const batch::FileServices& files,
               QWidget* parent = nullptr);
    ~TMain_form() override;

    // Controls, in the order the form declares them; the form owns them.
    platform::OpenFilesDialog& OpenDialog1;
    TNxPanel* NxPanel1 = nullptr;
    TSpeedButton* open_files_but = nullptr;
    TSpeedButton* open_folder_but = nullptr;
    TSpeedButton* decript_but = nullptr;
    TSpeedButton* play_but = nullptr;
    TNxLabel* NxLabel1 = nullptr;
    TNxEdit* Edit1 = nullptr;
    grid::TNextGrid* NextGrid1 = nullptr;
    grid::TNxTextColumn* NxTextColumn1 = nullptr;
    grid::TNxTextColumn* NxTextColumn2 = nullptr;
    grid::TNxProgressColumn* NxProgressColumn1 = nullptr;
    grid::TNxTextColumn* NxTextColumn3 = nullptr;
    TSpeedButton* stop_but = nullptr;
    TNxCheckBox* NxCheckBox1 = nullptr;

    // --- what the decoding run reads and writes
    QString KeyText() const;
    bool KeyCheckEnabled() const;
    bool GetUseOutputFolder() const { return UseOutputFolder; }
    const QString& GetOutputFolder() const { return OutputFolder; }
    bool GetStopRequested() const override { return StopRequested; }
    void SetStopRequested(bool requested) override { StopRequested = requested; }
    const platform::DesktopServices& Services() const { return services_; }
    batch::DecodingRun& Runner() { return *run_; }
    // Drops on the window, and the table's row menu and Delete key.
    FileListActions& ListActions() { return *listActions_; }
    // The viewer windows of decoded files.
    TextViewers& Viewers() { return *viewers_; }

    // For the length of a run: Stop in place of Run, and every control that
    // could change the list, its order, the key or the option unavailable.
    // Afterwards the control that had the focus when the run began has it
    // again.
    void SetRunning(bool running) override;
    bool IsRunning() const { return running_; }

    // --- commands
    void open_files_butClick();
    void open_folder_butClick();
    void decript_butClick();
    void play_butClick();
    void stop_butClick();
    void NextGrid1DblClick();
    // "View decoded text" (F3 on the selected row).
    void ViewDecodedText(int row);

protected:
    // Closing during a run stops it first; the window closes once the run
    // has unwound.
    void closeEvent(QCloseEvent* event) override;
    // The frame is the window manager's and known only once the window is
    // shown; the minimum size follows it.
    bool event(QEvent* event) override;

private:
    void FormCreate();
    void OutputFolderChosen(const QString& folder);
    void CreateStrip();
    void CreateGrid();
    void CreateColumns();
    void BindCommands();
    void CreateShortcuts();
    void FitMinimumSizeToFrame();

    platform::DesktopServices services_;
    bool UseOutputFolder = false;
    bool StopRequested = false;
    QString OutputFolder;
    bool running_ = false;
    QPointer<QWidget> focusBeforeRun_;
    bool closeWhenRunEnds_ = false;
    std::unique_ptr<batch::DecodingRun> run_;
    FileListActions* listActions_ = nullptr;   // owned by the form
    TextViewers* viewers_ = nullptr;           // owned by the form
};

} // namespace vantrel::ui
