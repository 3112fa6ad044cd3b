// The real main window with scripted desktop services and two rows added
// through Add files, and a viewer of a decoded Russian letter, for a test
// that looks at them from outside the process, through the desktop's
// accessibility bus. Runs until it is ended.
#include "app/vantrel_application.h"
#include "grid/next_grid.h"
#include "platform/testing/desktop_doubles.h"
#include "ui/main_form.h"
#include "ui/nx_edit.h"
#include "ui/speed_button.h"
#include "ui/text_viewer.h"

int main(int argc, char** argv)
{
    vantrel::platform::DesktopDoubles desktop;
    vantrel::app::VantrelApplication application(argc, argv, desktop.messages);
    vantrel::ui::TMain_form form(desktop.Services());

    desktop.openFiles.Choose({QStringLiteral("/data/report-a.txt"), QStringLiteral("/data/report-b.txt")});
    form.open_files_but->click();
    // The second row as a run leaves a rejected file: no status, the reason as its tip.
    form.NextGrid1->GetCell(1, 1)->SetHint(QStringLiteral("The key check proved the key wrong for this file"));
    form.NextGrid1->GetCell(1, 1)->SetAsString(QString());
    // The answer for a press of "Upload files" by the assistive tool.
    desktop.openFiles.Choose({QStringLiteral("/data/report-c.txt")});
    form.Edit1->setText(QStringLiteral("key-never-seen-1"));

    form.show();
    // "Привет, мир" and a second line, in CP1251.
    const std::string letter = "\xcf\xf0\xe8\xe2\xe5\xf2, \xec\xe8\xf0\r\n\xdd\xf2\xee \xef\xe8\xf1\xfc\xec\xee.";
    vantrel::ui::TextViewer viewer(QStringLiteral("/data/Decript/letter-dec.txt"), {letter, std::int64_t(letter.size())},
                                   "CP1251");
    viewer.show();
    return application.exec();
}
