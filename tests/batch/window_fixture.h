#pragma once
// The real main window on the offscreen platform, with scripted dialogs,
// observed message boxes, a fault-injecting file system over the real one
// and a fake drive query. Files live in a temporary folder per test.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <clocale>
#include <cstdlib>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "grid/next_grid.h"
#include "platform/posix_file_system.h"
#include "platform/testing/desktop_doubles.h"
#include "platform/testing/fake_drive_kinds.h"
#include "platform/testing/fault_injecting_file_system.h"
#include "ui/main_form.h"
#include "ui/nx_edit.h"
#include "ui/speed_button.h"

#include <gtest/gtest.h>

// Readable failure messages for the table's texts.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace vantrel::batch::testing {

// Records every error box, and lets a test look at the world at the moment
// the box is open.
class ObservedMessageBoxes final : public platform::MessageBoxes {
public:
    QStringList errors;
    std::function<void(const QString&)> whileOpen = [](const QString&) {};

    void ShowError(const QString& text) override
    {
        errors.append(text);
        whileOpen(text);
    }
    void ShowException(const QString& text) override { ADD_FAILURE() << "exception box: " << text.toStdString(); }
};

// Switches LC_CTYPE to a locale built for the tests, and back.
class TestLocale {
public:
    explicit TestLocale(const char* name) : before_(std::setlocale(LC_CTYPE, nullptr))
    {
        ::setenv("LOCPATH", VANTREL_TEST_LOCALES, 1);
        active_ = std::setlocale(LC_CTYPE, name) != nullptr;
    }
    ~TestLocale()
    {
        ::unsetenv("LOCPATH");
        std::setlocale(LC_CTYPE, before_.c_str());
    }
    TestLocale(const TestLocale&) = delete;
    TestLocale& operator=(const TestLocale&) = delete;
    bool Active() const { return active_; }

private:
    std::string before_;
    bool active_ = false;
};

struct RowView {
    QString source;
    QString status;
    double progress = 0;
    QString decoded;
};

class WindowTest : public ::testing::Test {
protected:
    WindowTest() { EXPECT_TRUE(dir.isValid()); }

    // Writes a file below the temporary folder and returns its full path.
    QString Write(const QString& relative, std::string_view bytes) const
    {
        const QString path = dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), qint64(bytes.size()));
        return path;
    }
    static std::string Read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string("<missing>");
    }
    QStringList FilesIn(const QString& relative) const
    {
        return QDir(dir.filePath(relative)).entryList(QDir::Files, QDir::Name);
    }

    void Add(const QStringList& paths)
    {
        desktop.openFiles.Choose(paths);
        form.open_files_but->click();
    }
    void ChooseFolder(const QString& folder)
    {
        desktop.folderBrowser.Choose(folder);
        form.open_folder_but->click();
    }
    void Run(const QString& key)
    {
        form.Edit1->setText(key);
        form.decript_but->click();
    }

    int Rows() const { return form.NextGrid1->GetRowCount(); }
    RowView Row(int row) const
    {
        auto* table = form.NextGrid1;
        return {table->GetCell(0, row)->GetAsString(), table->GetCell(1, row)->GetAsString(),
                table->GetCell(2, row)->GetAsFloat(), table->GetCell(3, row)->GetAsString()};
    }
    std::vector<QString> Statuses() const
    {
        std::vector<QString> words;
        for (int row = 0; row < Rows(); ++row) words.push_back(Row(row).status);
        return words;
    }

    QTemporaryDir dir;
    platform::DesktopDoubles desktop;
    ObservedMessageBoxes boxes;
    platform::PosixFileSystem realFiles;
    platform::testing::FaultInjectingFileSystem files{realFiles};
    platform::testing::FakeDriveKinds drives;
    ui::TMain_form form{{desktop.openFiles, desktop.folderBrowser, boxes, desktop.shell}, {files, drives}};
};

} // namespace vantrel::batch::testing
