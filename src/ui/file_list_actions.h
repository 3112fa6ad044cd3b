#pragma once
// What the user does with the file list beyond the toolbar: files and
// folders dropped on the window come into the list, and the table's row menu
// (and its Delete key) takes rows out, views or opens a row's decoded file,
// shows its folder, and copies its paths. Nothing here changes the list
// during a run.
#include "batch/file_services.h"
#include "platform/desktop_services.h"

#include <QList>
#include <QObject>
#include <QUrl>
#include <functional>
#include <optional>

class QAction;
class QMenu;
class QPoint;
class QWidget;

namespace vantrel::grid {
class TNextGrid;
}

namespace vantrel::ui {

class FileListActions : public QObject {
    Q_OBJECT
public:
    inline static const QString OnlyLocalFilesMessage = QStringLiteral("Only local files can be added!");

    // Takes drops on `window`, and the menu and Delete key on `table`.
    // `isRunning` tells whether a run is under way; `outputFolder` is the
    // folder chosen for outputs, if any, which a dropped folder's walk leaves
    // out; `openFile` is the toolbar's Open file command, which works on the
    // selected row.
    FileListActions(grid::TNextGrid& table, const platform::DesktopServices& desktop,
                    const batch::FileServices& files, std::function<bool()> isRunning,
                    std::function<std::optional<QString>()> outputFolder, std::function<void()> openFile,
                    QWidget& window);

    // --- commands; each does nothing during a run where it would change the list
    // Local files and folders as AddDropped takes them, with the busy cursor
    // while they come in; any URL that is no local file brings the "Error"
    // box once the local ones are in.
    void AddUrls(const QList<QUrl>& urls);
    void RemoveRow(int row);
    void RemoveDecoded();
    void ClearList();
    void OpenContainingFolder(int row);
    // The source path, and on a second line the decoded path when there is
    // one, as plain text.
    void CopyPaths(int row);

    // The row menu for `row` (-1: no row; only the list's items apply), with
    // the items that cannot apply disabled. Returns at once.
    void ShowMenu(int row, const QPoint& globalPos);
    QMenu& Menu() const { return *menu_; }
    int MenuRow() const { return menuRow_; }
    QAction* ViewTextAction() const { return viewText_; }
    QAction* OpenFileAction() const { return openFile_; }
    QAction* OpenFolderAction() const { return openFolder_; }
    QAction* CopyPathAction() const { return copyPath_; }
    QAction* RemoveRowAction() const { return removeRow_; }
    QAction* RemoveDecodedAction() const { return removeDecoded_; }
    QAction* ClearListAction() const { return clearList_; }

signals:
    // "View decoded text" for the menu's row, or F3 for the selected row
    // (-1 when none is).
    void ViewTextRequested(int row);

protected:
    // Drag and drop on the window.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateMenu(QWidget& window);
    // A key that stands for an item of the open menu: as a click on it.
    void TriggerMenuItem(QAction& item);
    bool HasRow(int row) const;
    QString DecodedPath(int row) const;

    grid::TNextGrid& table_;
    platform::DesktopServices desktop_;
    batch::FileServices files_;
    std::function<bool()> isRunning_;
    std::function<std::optional<QString>()> outputFolder_;
    std::function<void()> openFileCommand_;
    QMenu* menu_ = nullptr;
    int menuRow_ = -1;
    QAction* viewText_ = nullptr;
    QAction* openFile_ = nullptr;
    QAction* openFolder_ = nullptr;
    QAction* copyPath_ = nullptr;
    QAction* removeRow_ = nullptr;
    QAction* removeDecoded_ = nullptr;
    QAction* clearList_ = nullptr;
};

} // namespace vantrel::ui
