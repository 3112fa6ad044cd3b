#include "ui/file_list_actions.h"

#include "batch/file_list.h"
#include "batch/file_table.h"
#include "grid/next_grid.h"

#include <QAction>
#include <QClipboard>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QShortcut>
#include <QSysInfo>

namespace vantrel::ui {
namespace {

// A file URL of this machine: without a host, or with one that names it.
std::optional<QString> LocalPathOf(const QUrl& url)
{
    if (!url.isLocalFile()) return std::nullopt;
    const QString host = url.host();
    if (!host.isEmpty() && host != QLatin1String("localhost")
        && host.compare(QSysInfo::machineHostName(), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    QUrl here(url);
    here.setHost(QString());
    const QString path = here.toLocalFile();
    if (path.isEmpty()) return std::nullopt;
    return path;
}

class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// Adding never takes the files away from where they are: a drop offered only
// as a move would let the source delete its originals.
bool AcceptAsCopy(QDropEvent& drop)
{
    if (!drop.mimeData()->hasUrls() || !(drop.possibleActions() & Qt::CopyAction)) return false;
    drop.setDropAction(Qt::CopyAction);
    drop.accept();
    return true;
}

} // namespace

FileListActions::FileListActions(grid::TNextGrid& table, const platform::DesktopServices& desktop,
                                 const batch::FileServices& files, std::function<bool()> isRunning,
                                 std::function<std::optional<QString>()> outputFolder, std::function<void()> openFile,
                                 QWidget& window)
    : QObject(&window)
    , table_(table)
    , desktop_(desktop)
    , files_(files)
    , isRunning_(std::move(isRunning))
    , outputFolder_(std::move(outputFolder))
    , openFileCommand_(std::move(openFile))
{
    CreateMenu(window);
    connect(&table_, &grid::TNextGrid::OnRowContextMenu, this, &FileListActions::ShowMenu);

    auto* deleteKey = new QShortcut(QKeySequence::Delete, &table_);
    deleteKey->setContext(Qt::WidgetShortcut);
    connect(deleteKey, &QShortcut::activated, this, [this] {
        // The key reaches the table also while its menu is up: there it
        // stands for the menu's item, and closes the menu as the item would.
        if (menu_->isVisible()) {
            TriggerMenuItem(*removeRow_);
            return;
        }
        RemoveRow(table_.GetSelectedRow());
    });

    // F3 is the viewer key of file managers: on the selected row anywhere in
    // the window, and while the menu is up, on the menu's row as its item.
    auto* viewKey = new QShortcut(QKeySequence(Qt::Key_F3), &window);
    connect(viewKey, &QShortcut::activated, this, [this] { emit ViewTextRequested(table_.GetSelectedRow()); });
    auto* viewKeyInMenu = new QShortcut(QKeySequence(Qt::Key_F3), menu_);
    connect(viewKeyInMenu, &QShortcut::activated, this, [this] { TriggerMenuItem(*viewText_); });

    window.setAcceptDrops(true);
    window.installEventFilter(this);
}

void FileListActions::CreateMenu(QWidget& window)
{
    menu_ = new QMenu(&window);
    menu_->setObjectName(QStringLiteral("fileListMenu"));
    auto add = [this](const QString& text, void (FileListActions::*command)(int)) {
        QAction* action = menu_->addAction(text);
        connect(action, &QAction::triggered, this, [this, command] {
            if (HasRow(menuRow_)) (this->*command)(menuRow_);
        });
        return action;
    };
    viewText_ = menu_->addAction(QStringLiteral("&View decoded text\t")
                                 + QKeySequence(Qt::Key_F3).toString(QKeySequence::NativeText));
    connect(viewText_, &QAction::triggered, this, [this] {
        if (HasRow(menuRow_)) emit ViewTextRequested(menuRow_);
    });
    openFile_ = menu_->addAction(QStringLiteral("&Open file"));
    connect(openFile_, &QAction::triggered, this, [this] {
        if (!HasRow(menuRow_) || isRunning_()) return;
        table_.SetSelectedRow(menuRow_);
        openFileCommand_();
    });
    openFolder_ = add(QStringLiteral("Open containing &folder"), &FileListActions::OpenContainingFolder);
    copyPath_ = add(QStringLiteral("&Copy path"), &FileListActions::CopyPaths);
    menu_->addSeparator();
    // The Delete key itself is the table's shortcut; here it is only named.
    removeRow_ = add(QStringLiteral("&Remove from list\t") + QKeySequence(QKeySequence::Delete).toString(QKeySequence::NativeText),
                     &FileListActions::RemoveRow);
    removeDecoded_ = menu_->addAction(QStringLiteral("Remove &decoded"));
    connect(removeDecoded_, &QAction::triggered, this, &FileListActions::RemoveDecoded);
    clearList_ = menu_->addAction(QStringLiteral("C&lear list"));
    connect(clearList_, &QAction::triggered, this, &FileListActions::ClearList);
}

void FileListActions::TriggerMenuItem(QAction& item)
{
    if (!item.isEnabled()) return;
    menu_->close();
    item.trigger();
}

bool FileListActions::HasRow(int row) const
{
    return row >= 0 && row < table_.GetRowCount();
}

QString FileListActions::DecodedPath(int row) const
{
    return batch::FileTable(table_).DecodedPath(row);
}

void FileListActions::ShowMenu(int row, const QPoint& globalPos)
{
    menuRow_ = HasRow(row) ? row : -1;
    const bool running = isRunning_();
    const bool decoded = menuRow_ >= 0 && !DecodedPath(menuRow_).isEmpty();
    viewText_->setEnabled(menuRow_ >= 0 && batch::FileTable(table_).IsDecoded(menuRow_));
    openFile_->setEnabled(decoded && !running);
    openFolder_->setEnabled(decoded);
    copyPath_->setEnabled(menuRow_ >= 0);
    removeRow_->setEnabled(menuRow_ >= 0 && !running);
    removeDecoded_->setEnabled(!running && !batch::DecodedRows(table_).empty());
    clearList_->setEnabled(!running && table_.GetRowCount() > 0);
    menu_->popup(globalPos);
}

void FileListActions::AddUrls(const QList<QUrl>& urls)
{
    if (isRunning_()) return;
    QStringList paths;
    bool refused = false;
    for (const QUrl& url : urls) {
        if (const std::optional<QString> path = LocalPathOf(url))
            paths.append(*path);
        else
            refused = true;
    }
    if (!paths.isEmpty()) {
        const BusyCursor busy;
        batch::AddDropped(table_, paths, outputFolder_(), files_);
    }
    if (refused) desktop_.messages.ShowError(OnlyLocalFilesMessage);
}

void FileListActions::RemoveRow(int row)
{
    if (isRunning_() || !HasRow(row)) return;
    table_.DeleteRow(row);
}

void FileListActions::RemoveDecoded()
{
    if (isRunning_()) return;
    batch::RemoveDecoded(table_);
}

void FileListActions::ClearList()
{
    if (isRunning_()) return;
    table_.ClearRows();
}

void FileListActions::OpenContainingFolder(int row)
{
    if (!HasRow(row)) return;
    const QString decoded = DecodedPath(row);
    if (decoded.isEmpty()) return;
    desktop_.shell.ShowInFolder(decoded, *this, [this, folder = QFileInfo(decoded).absolutePath()] {
        desktop_.messages.ShowError(QStringLiteral("No program could show the folder \"%1\"!").arg(folder));
    });
}

void FileListActions::CopyPaths(int row)
{
    if (!HasRow(row)) return;
    const batch::FileTable files(table_);
    QString text = files.Source(row);
    const QString decoded = files.DecodedPath(row);
    if (!decoded.isEmpty()) text += QLatin1Char('\n') + decoded;
    QGuiApplication::clipboard()->setText(text);
}

bool FileListActions::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (isRunning_() || !AcceptAsCopy(*drag)) drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (isRunning_() || !AcceptAsCopy(*drop)) {
            drop->ignore();
            return true;
        }
        // The source waits until the drop returns: let it go before the
        // folders are walked and any box is shown.
        QMetaObject::invokeMethod(this, [this, urls = drop->mimeData()->urls()] { AddUrls(urls); },
                                  Qt::QueuedConnection);
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

} // namespace vantrel::ui
