// Decodes sources through the window's run path, for the timing scripts: an
// offscreen main window, the source (a file, or a folder whose text files
// come in as a dropped folder's do) added to the list, the key typed and Run
// clicked. With an output folder it is chosen first; without one the outputs
// go beside the sources and the drive rule runs as for a user. The dialogs
// answer from a script; everything else (table, progress cells, painting,
// files, drives) is real. The toolkit's start-up (fonts, platform plugin) is
// not part of a run.
//   vantrel-bench-window-run [--first-output] SOURCE KEY_FILE [OUTPUT_FOLDER]
// Prints the seconds from the click on Run until the run has returned and
// how many times a second the table was painted meanwhile; with
// --first-output, instead the seconds from the click until the Stop button
// was first painted and until the first row showed its output.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QUrl>
#include <cstdio>
#include <cstring>
#include <optional>

#include "grid/next_grid.h"
#include "platform/testing/desktop_doubles.h"
#include "ui/file_list_actions.h"
#include "ui/main_form.h"
#include "ui/nx_edit.h"
#include "ui/speed_button.h"

namespace {

// The clock's reading at the first paint of a widget, and the number of
// paints, once the clock runs.
class Paints final : public QObject {
public:
    Paints(QWidget& widget, const QElapsedTimer& clock) : clock_(clock) { widget.installEventFilter(this); }
    std::optional<double> first;
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && clock_.isValid()) {
            if (!first) first = double(clock_.nsecsElapsed()) / 1e9;
            ++count;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    const QElapsedTimer& clock_;
};

} // namespace

int main(int argc, char** argv)
{
    const bool firstOutput = argc > 1 && std::strcmp(argv[1], "--first-output") == 0;
    char** args = argv + (firstOutput ? 2 : 1);
    const int count = argc - (firstOutput ? 2 : 1);
    if (count != 2 && count != 3) {
        std::fprintf(stderr, "usage: vantrel-bench-window-run [--first-output] SOURCE KEY_FILE [OUTPUT_FOLDER]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    QFile keyFile(QFile::decodeName(args[1]));
    if (!keyFile.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "vantrel-bench-window-run: cannot read the key file %s\n", args[1]);
        return 2;
    }
    const QString key = QString::fromUtf8(keyFile.readLine()).trimmed();

    vantrel::platform::DesktopDoubles desktop;
    vantrel::ui::TMain_form form(desktop.Services());
    form.show();
    form.ListActions().AddUrls({QUrl::fromLocalFile(QFile::decodeName(args[0]))});
    if (count == 3) {
        desktop.folderBrowser.Choose(QFile::decodeName(args[2]));
        form.open_folder_but->click();
    }
    form.Edit1->setText(key);
    QApplication::processEvents(); // the window is painted before the clock starts

    auto* table = form.NextGrid1;
    QElapsedTimer clock;
    Paints stopShown(*form.stop_but, clock);
    Paints tablePaints(*table->viewport(), clock);
    std::optional<double> firstDecoded;
    QObject::connect(table, &vantrel::grid::TNextGrid::OnChange, table, [&](int column, int row) {
        if (!firstDecoded && column == 1 && row == 0 && table->GetCell(1, 0)->GetAsString() == QStringLiteral("Decoded"))
            firstDecoded = double(clock.nsecsElapsed()) / 1e9;
    });

    clock.start();
    form.decript_but->click();
    const double seconds = double(clock.nsecsElapsed()) / 1e9;

    for (const QString& message : desktop.messages.Errors())
        std::fprintf(stderr, "vantrel-bench-window-run: %s\n", qPrintable(message));
    const int rows = table->GetRowCount();
    if (rows == 0) {
        std::fprintf(stderr, "vantrel-bench-window-run: no source came into the list\n");
        return 1;
    }
    for (int row = 0; row < rows; ++row) {
        const QString status = table->GetCell(1, row)->GetAsString();
        const double progress = table->GetCell(2, row)->GetAsFloat();
        if (status != QStringLiteral("Decoded") || progress != 100.0) {
            std::fprintf(stderr, "vantrel-bench-window-run: row %d ended \"%s\" at %g%%\n", row, qPrintable(status),
                         progress);
            return 1;
        }
    }
    if (firstOutput) {
        if (!stopShown.first || !firstDecoded) {
            std::fprintf(stderr, "vantrel-bench-window-run: the Stop button was never painted, or the first row never decoded\n");
            return 1;
        }
        std::printf("%.3f %.3f\n", *stopShown.first, *firstDecoded);
    } else {
        std::printf("%.3f %.1f\n", seconds, seconds > 0 ? tablePaints.count / seconds : 0.0);
    }
    return 0;
}
