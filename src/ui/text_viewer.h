#pragma once
// A window that shows one decoded file as text: its bytes converted from the
// code page the run took the key in, or from another one the reader picks.
// It only reads what it was given: the file is never written, and the
// choice goes with the window.
#include <QMainWindow>
#include <QString>
#include <string>

#include "batch/recorded_output.h"

class QComboBox;
class QLabel;

namespace vantrel::ui {

class FindBar;
class TextPane;

// A main window of its own, so that assistive tools see a frame.
class TextViewer : public QMainWindow {
    Q_OBJECT
public:
    // `beginning` is what was read of the file at path; keyCodePage is the
    // one the text is shown in first.
    TextViewer(const QString& path, batch::OutputBeginning beginning, const std::string& keyCodePage,
               QWidget* parent = nullptr);

    // The code page the text is shown in, as iconv names it.
    QString CodePage() const;
    // Shows the text in another code page, as choosing it in the list does.
    void ShowInCodePage(const QString& codePage);

    TextPane& Text() const { return *text_; }
    FindBar& Find() const { return *find_; }
    QComboBox& CodePages() const { return *codePages_; }
    // Says how much of a long file is shown; hidden when all of it is.
    QLabel& Note() const { return *note_; }

private:
    void CreateCodePageList(const QString& keyCodePage);
    void CreateShortcuts();
    void ShowConverted();

    batch::OutputBeginning beginning_;
    QComboBox* codePages_ = nullptr;
    QLabel* note_ = nullptr;
    TextPane* text_ = nullptr;
    FindBar* find_ = nullptr;
};

} // namespace vantrel::ui
