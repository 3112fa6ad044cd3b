#pragma once
// Qt's own dialogs keep their last folder, history and layout in the user's
// configuration and read them back at the next start. The program keeps
// nothing from one start to the next, so whatever the toolkit wants to keep
// goes to a folder that lives exactly as long as the program.
#include <QTemporaryDir>

namespace vantrel::platform {

class TransientSettings {
public:
    // Takes effect for every settings store opened afterwards; create it
    // before the first dialog.
    TransientSettings();
    TransientSettings(const TransientSettings&) = delete;
    TransientSettings& operator=(const TransientSettings&) = delete;

    QString Folder() const { return folder_.path(); }

private:
    QTemporaryDir folder_;
};

} // namespace vantrel::platform
