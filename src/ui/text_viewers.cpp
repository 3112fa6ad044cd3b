#include "ui/text_viewers.h"

#include "batch/file_table.h"
#include "batch/run_outputs.h"
#include "platform/desktop_services.h"
#include "ui/text_viewer.h"

#include <QScreen>
#include <QWidget>

namespace vantrel::ui {

QString TextViewers::CannotReadMessage(const QString& path)
{
    return QStringLiteral("File \"%1\" cannot be read!").arg(path);
}

TextViewers::TextViewers(const batch::RunOutputs& outputs, platform::FileSystem& files,
                         platform::MessageBoxes& messages, QWidget& mainWindow)
    : QObject(&mainWindow), outputs_(outputs), files_(files), messages_(messages), mainWindow_(mainWindow)
{
}

TextViewers::~TextViewers()
{
    // They are windows of their own, with no parent to take them along.
    for (const QPointer<TextViewer>& viewer : windows_) delete viewer.data();
}

TextViewer* TextViewers::Open(const QString& decodedPath)
{
    const batch::OutputRecord* record = outputs_.Find(decodedPath);
    std::optional<batch::OutputBeginning> beginning;
    if (record) beginning = batch::ReadRecordedOutput(files_, batch::LocalPath(decodedPath), record->stamp);
    if (!beginning) {
        messages_.ShowError(CannotReadMessage(decodedPath));
        return nullptr;
    }
    // No parent: each viewer is a window of its own on the task bar, which
    // the main window neither covers nor keeps above itself.
    auto* viewer = new TextViewer(decodedPath, std::move(*beginning), record->codePage);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->setWindowIcon(mainWindow_.windowIcon());
    windows_.removeAll(nullptr);
    Place(*viewer);
    windows_.append(viewer);
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
    return viewer;
}

QList<TextViewer*> TextViewers::Windows() const
{
    QList<TextViewer*> open;
    for (const QPointer<TextViewer>& viewer : windows_)
        if (viewer) open.append(viewer.data());
    return open;
}

void TextViewers::CloseAll()
{
    for (TextViewer* viewer : Windows()) viewer->close();
}

void TextViewers::Place(TextViewer& viewer) const
{
    // Beside the main window, each further viewer a step down and to the
    // right, and kept on the screen: over the main window where there is no
    // room beside it.
    const QRect main = mainWindow_.frameGeometry();
    const int step = 24 * int(Windows().size() % 8);
    QPoint at(main.right() + 1 + step, main.top() + step);
    if (const QScreen* screen = mainWindow_.screen()) {
        const QRect room = screen->availableGeometry();
        // The viewer gets the same frame as the main window, which it has
        // no size of before it is shown.
        const QSize outer = viewer.size() + (main.size() - mainWindow_.size());
        at.setX(std::max(room.left(), std::min(at.x(), room.right() + 1 - outer.width())));
        at.setY(std::max(room.top(), std::min(at.y(), room.bottom() + 1 - outer.height())));
    }
    viewer.move(at);
}

} // namespace vantrel::ui
