#pragma once
// The "View decoded text" command: a viewer window for a decoded file, as
// the run wrote it, beside the main window. Any number may be open; they go
// when the main window closes.
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

namespace vantrel::batch {
class RunOutputs;
}
namespace vantrel::platform {
class FileSystem;
class MessageBoxes;
} // namespace vantrel::platform

class QWidget;

namespace vantrel::ui {

class TextViewer;

class TextViewers : public QObject {
    Q_OBJECT
public:
    // "File "<path>" cannot be read!"
    static QString CannotReadMessage(const QString& path);

    TextViewers(const batch::RunOutputs& outputs, platform::FileSystem& files, platform::MessageBoxes& messages,
                QWidget& mainWindow);
    ~TextViewers() override;

    // A new viewer on the output at decodedPath, shown and active; or, when
    // the file is gone, was changed since the run wrote it or cannot be
    // read, the error box and nothing.
    TextViewer* Open(const QString& decodedPath);
    // Every viewer still open, oldest first.
    QList<TextViewer*> Windows() const;
    void CloseAll();

private:
    void Place(TextViewer& viewer) const;

    const batch::RunOutputs& outputs_;
    platform::FileSystem& files_;
    platform::MessageBoxes& messages_;
    QWidget& mainWindow_;
    QList<QPointer<TextViewer>> windows_;
};

} // namespace vantrel::ui
