// Decodes one source through the window's run path, for bench-decode.sh to
// time: an offscreen main window, the file added with Add files, the output
// folder chosen, the key typed and Run clicked. The dialogs answer from a
// script; everything else (table, progress cell, painting, files) is real.
// Prints the seconds from the click on Run until the run has returned; the
// toolkit's start-up (fonts, platform plugin) is not part of a run.
//   vantrel-bench-window-run SOURCE OUTPUT_FOLDER KEY_FILE
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

#include "grid/next_grid.h"
#include "platform/desktop_doubles.h"
#include "ui/main_form.h"
#include "ui/nx_edit.h"
#include "ui/speed_button.h"

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: vantrel-bench-window-run SOURCE OUTPUT_FOLDER KEY_FILE\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    QFile keyFile(QFile::decodeName(argv[3]));
    if (!keyFile.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "vantrel-bench-window-run: cannot read the key file %s\n", argv[3]);
        return 2;
    }
    const QString key = QString::fromUtf8(keyFile.readLine()).trimmed();

    vantrel::platform::DesktopDoubles desktop;
    vantrel::ui::TMain_form form(desktop.Services());
    form.show();
    desktop.openFiles.Choose({QFile::decodeName(argv[1])});
    form.open_files_but->click();
    desktop.folderBrowser.Choose(QFile::decodeName(argv[2]));
    form.open_folder_but->click();
    form.Edit1->setText(key);
    QApplication::processEvents(); // the window is painted before the clock starts

    QElapsedTimer clock;
    clock.start();
    form.decript_but->click();
    const double seconds = double(clock.nsecsElapsed()) / 1e9;

    auto* table = form.NextGrid1;
    const QString status = table->GetRowCount() == 1 ? table->GetCell(1, 0)->GetAsString() : QString();
    const double progress = table->GetRowCount() == 1 ? table->GetCell(2, 0)->GetAsFloat() : 0.0;
    for (const QString& message : desktop.messages.Errors())
        std::fprintf(stderr, "vantrel-bench-window-run: %s\n", qPrintable(message));
    if (status != QStringLiteral("Decoded") || progress != 100.0) {
        std::fprintf(stderr, "vantrel-bench-window-run: the row ended \"%s\" at %g%%\n", qPrintable(status), progress);
        return 1;
    }
    std::printf("%.3f\n", seconds);
    return 0;
}
