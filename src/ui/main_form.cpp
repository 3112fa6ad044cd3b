#include "ui/main_form.h"

#include "batch/file_list.h"
#include "grid/columns.h"
#include "grid/next_grid.h"
#include "platform/app_font.h"
#include "ui/file_list_actions.h"
#include "ui/glyphs.h"
#include "ui/hint.h"
#include "ui/nx_check_box.h"
#include "ui/nx_edit.h"
#include "ui/nx_label.h"
#include "ui/nx_panel.h"
#include "ui/speed_button.h"
#include "ui/text_viewers.h"

#include <QCloseEvent>
#include <QWindow>
#include <algorithm>
#include <QVBoxLayout>

namespace vantrel::ui {

namespace {

const QString NotSelectedMessage = QStringLiteral("File is not selected!");
const QString NotDecodedMessage = QStringLiteral("File is not decoded!");

constexpr int ButtonSize = 40;
constexpr int ButtonTop = 2;

TSpeedButton* MakeButton(QWidget* strip, int left, const QString& hint, const QImage& glyph)
{
    auto* button = new TSpeedButton(strip);
    button->setGeometry(left, ButtonTop, ButtonSize, ButtonSize);
    button->SetHint(hint);
    button->SetGlyph(glyph);
    return button;
}

template <class Column>
Column* AddColumn(grid::TNextGrid& table, const QString& caption, int width, Qt::Alignment alignment,
                  grid::TSortType sortType)
{
    auto& column = table.Columns().Add<Column>();
    column.Header().Caption = caption;
    column.Header().Alignment = Qt::AlignHCenter;
    column.SetDefaultWidth(width);
    column.SetWidth(width);
    column.SetAlignment(alignment);
    column.SetSortType(sortType);
    return &column;
}

} // namespace

TMain_form::TMain_form(const platform::DesktopServices& services, QWidget* parent)
    : TMain_form(services, batch::SystemFileServices(), parent)
{
}

TMain_form::TMain_form(const platform::DesktopServices& services, const batch::FileServices& files,
                       QWidget* parent)
    : QWidget(parent)
    , OpenDialog1(services.openFiles)
    , services_(services)
{
    setObjectName(QStringLiteral("Main_form"));
    setWindowTitle(QStringLiteral("Vantrel 1.6"));
    setFont(platform::ApplicationFont());
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    setWindowIcon(QPixmap::fromImage(glyphs::WindowIcon()));
    setMinimumSize(MinimumOuterSize);
    resize(DesignClientSize);
    move(285, 124);

    CreateStrip();
    CreateGrid();
    CreateColumns();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(NxPanel1);
    layout->addWidget(NextGrid1, 1);

    // Tab goes from the key field to the table and back; the buttons and the
    // option are reached with the mouse only.
    setTabOrder(Edit1, NextGrid1);
    Edit1->setFocus();

    run_ = std::make_unique<batch::DecodingRun>(*NextGrid1, *this, files, services_.messages);
    listActions_ = new FileListActions(
        *NextGrid1, services_, files, [this] { return running_; },
        [this] { return UseOutputFolder ? std::optional(OutputFolder) : std::nullopt; },
        [this] { play_butClick(); }, *this);
    viewers_ = new TextViewers(run_->Outputs(), files.files, services_.messages, *this);
    connect(listActions_, &FileListActions::ViewTextRequested, this, &TMain_form::ViewDecodedText);

    BindCommands();
    CreateShortcuts();
    FormCreate();
}

TMain_form::~TMain_form() = default;

void TMain_form::CreateStrip()
{
    NxPanel1 = new TNxPanel(this);
    NxPanel1->setFixedHeight(StripHeight);

    open_files_but = MakeButton(NxPanel1, 1, QStringLiteral("Upload files"), glyphs::FolderWithLock());
    open_folder_but = MakeButton(NxPanel1, 41, QStringLiteral("Folder to upload files"), glyphs::Folder());
    decript_but = MakeButton(NxPanel1, 81, QStringLiteral("Run"), glyphs::OpenLock());
    play_but = MakeButton(NxPanel1, 121, QStringLiteral("Open file"), glyphs::BlankSheet());

    NxLabel1 = new TNxLabel(QStringLiteral("Key for decode"), NxPanel1);
    // Sized to its caption: the substitute face is a little wider than the
    // 72 pixels the caption was laid out for.
    NxLabel1->move(176, 13);

    Edit1 = new TNxEdit(NxPanel1);
    Edit1->setGeometry(256, 11, 177, 21);
    SetHint(*Edit1, QStringLiteral("Ключ для декодирования"));
    // The key is typed, never dropped: a drag that also offers a file's
    // path as text would otherwise make that path the key. Drops here go
    // on to the window, which adds the files.
    Edit1->setAcceptDrops(false);

    stop_but = MakeButton(NxPanel1, 81, QStringLiteral("Остановить декрипт"), glyphs::StopSquare());
    stop_but->hide();

    NxCheckBox1 = new TNxCheckBox(QStringLiteral("Key valid check"), NxPanel1);
    NxCheckBox1->setGeometry(448, 11, 145, 21);
    NxCheckBox1->SetChecked(true);
}

void TMain_form::CreateGrid()
{
    NextGrid1 = new grid::TNextGrid(this);
    NextGrid1->setObjectName(QStringLiteral("NextGrid1"));
    NextGrid1->SetHeaderStyle(grid::hsOffice2010);
    NextGrid1->SetOptions(grid::goCanHideColumn | grid::goGrid | grid::goHeader | grid::goSelectFullRow);
    NextGrid1->SetReadOnly(true);
    SetHint(*NextGrid1, QStringLiteral("Файлы"));
    NextGrid1->setFocusPolicy(Qt::StrongFocus);
}

void TMain_form::CreateColumns()
{
    using namespace grid;
    NxTextColumn1 = AddColumn<TNxTextColumn>(*NextGrid1, QStringLiteral("Source files"), 306, Qt::AlignLeft,
                                             stAlphabetic);
    NxTextColumn2 = AddColumn<TNxTextColumn>(*NextGrid1, QStringLiteral("Status"), 124, Qt::AlignHCenter,
                                             stAlphabetic);
    NxProgressColumn1 = AddColumn<TNxProgressColumn>(*NextGrid1, QStringLiteral("Progress"), 77,
                                                     Qt::AlignHCenter, stNumeric);
    NxProgressColumn1->SetDefaultValue(QStringLiteral("0"));
    NxProgressColumn1->ProgressStyle = psGradient;
    NxProgressColumn1->ShowText = true;
    NxProgressColumn1->TextPosition = tpInside;
    NxProgressColumn1->BorderColor = Qt::white;
    NxProgressColumn1->LowValueColor = Qt::black;
    NxProgressColumn1->Margin = 0;
    NxProgressColumn1->HideWhenEmpty = false;
    NxTextColumn3 = AddColumn<TNxTextColumn>(*NextGrid1, QStringLiteral("Decoded files"), 323, Qt::AlignLeft,
                                             stAlphabetic);
}

void TMain_form::BindCommands()
{
    connect(open_files_but, &TSpeedButton::clicked, this, &TMain_form::open_files_butClick);
    connect(open_folder_but, &TSpeedButton::clicked, this, &TMain_form::open_folder_butClick);
    connect(decript_but, &TSpeedButton::clicked, this, &TMain_form::decript_butClick);
    connect(play_but, &TSpeedButton::clicked, this, &TMain_form::play_butClick);
    connect(stop_but, &TSpeedButton::clicked, this, &TMain_form::stop_butClick);
    connect(NextGrid1, &grid::TNextGrid::OnDblClick, this, &TMain_form::NextGrid1DblClick);
}

void TMain_form::CreateShortcuts()
{
    // A button's shortcut is a click on it, and is off while the button is
    // hidden or locked: F5 and Escape take turns as Run and Stop do.
    open_files_but->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    open_folder_but->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    decript_but->setShortcut(QKeySequence(Qt::Key_F5));
    stop_but->setShortcut(QKeySequence(Qt::Key_Escape));
    play_but->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return));
    NxLabel1->SetBuddy(Edit1, QKeySequence(Qt::ALT | Qt::Key_K));
    NxCheckBox1->SetShortcut(QKeySequence(Qt::ALT | Qt::Key_V));
}

void TMain_form::FormCreate()
{
    UseOutputFolder = false;
    OutputFolder.clear();
}

QString TMain_form::KeyText() const
{
    return Edit1->text();
}

bool TMain_form::KeyCheckEnabled() const
{
    return NxCheckBox1->Checked();
}

void TMain_form::SetRunning(bool running)
{
    // Locking the key field sends the focus on to the table, where the
    // selected row would then stand out; the user expects to go on where
    // the run found them (typing in the key field, usually).
    if (running) focusBeforeRun_ = focusWidget();
    running_ = running;
    decript_but->setVisible(!running);
    stop_but->setVisible(running);
    for (QWidget* control : {static_cast<QWidget*>(open_files_but), static_cast<QWidget*>(open_folder_but),
                             static_cast<QWidget*>(play_but), static_cast<QWidget*>(Edit1),
                             static_cast<QWidget*>(NxCheckBox1)})
        control->setEnabled(!running);
    NextGrid1->SetHeaderInteractionEnabled(!running);
    if (!running && focusBeforeRun_ && focusBeforeRun_->isEnabled() && focusBeforeRun_->isVisible())
        focusBeforeRun_->setFocus(Qt::OtherFocusReason);
}

bool TMain_form::event(QEvent* event)
{
    const bool handled = QWidget::event(event);
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowStateChange:
        FitMinimumSizeToFrame();
        break;
    default:
        break;
    }
    return handled;
}

void TMain_form::FitMinimumSizeToFrame()
{
    // The smallest size counts the frame (title bar, borders), while the
    // window system takes it for the client area alone.
    const QWindow* window = windowHandle();
    const QMargins frame = window ? window->frameMargins() : QMargins();
    const QSize client(std::max(0, MinimumOuterSize.width() - frame.left() - frame.right()),
                       std::max(0, MinimumOuterSize.height() - frame.top() - frame.bottom()));
    if (minimumSize() != client) setMinimumSize(client);
}

void TMain_form::open_files_butClick()
{
    // The button is locked during a run; this also keeps out a click that
    // was already queued when the run began.
    if (running_) return;
    batch::AddFiles(*NextGrid1, OpenDialog1);
}

void TMain_form::decript_butClick()
{
    // A run hands out pending events while it goes: never start a second one
    // inside it.
    if (running_) return;
    batch::RunInputs inputs{KeyText(), KeyCheckEnabled(), std::nullopt, batch::LocaleKeyCodePage()};
    if (UseOutputFolder) inputs.outputFolder = OutputFolder;
    run_->Execute(inputs);
    if (closeWhenRunEnds_)
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void TMain_form::closeEvent(QCloseEvent* event)
{
    // The run is on the stack below this event, so the window must outlive
    // it: stop it as the Stop button would, and close when it has returned.
    if (running_) {
        StopRequested = true;
        closeWhenRunEnds_ = true;
        event->ignore();
        return;
    }
    closeWhenRunEnds_ = false;
    viewers_->CloseAll();
    QWidget::closeEvent(event);
}

void TMain_form::open_folder_butClick()
{
    // The browser leaves the window usable: a run started meanwhile uses
    // the folder chosen before, and the next run the one chosen here.
    services_.folderBrowser.Open(*this, [this](const QString& folder) { OutputFolderChosen(folder); });
}

void TMain_form::OutputFolderChosen(const QString& folder)
{
    // A cancelled browser (or an item with no path) keeps the folder chosen
    // before: forgetting it while UseOutputFolder stays on would send the next
    // run's outputs to the root of the file system.
    if (folder.isEmpty())
        return;
    OutputFolder = folder;
    decript_but->setVisible(!running_);
    UseOutputFolder = true;
}

void TMain_form::play_butClick()
{
    const int row = NextGrid1->GetSelectedRow();
    if (row < 0) {
        services_.messages.ShowError(NotSelectedMessage);
        return;
    }
    const QString decoded = NextGrid1->GetCell(NxTextColumn3->Index(), row)->GetAsString();
    if (decoded.isEmpty()) {
        services_.messages.ShowError(NotDecodedMessage);
        return;
    }
    if (!services_.shell.OpenDocument(decoded))
        services_.messages.ShowError(QStringLiteral("No program could open the file \"%1\"!").arg(decoded));
}

void TMain_form::ViewDecodedText(int row)
{
    if (row < 0 || row >= NextGrid1->GetRowCount()) {
        services_.messages.ShowError(NotSelectedMessage);
        return;
    }
    const batch::FileTable files(*NextGrid1);
    if (!files.IsDecoded(row)) {
        services_.messages.ShowError(NotDecodedMessage);
        return;
    }
    viewers_->Open(files.DecodedPath(row));
}

void TMain_form::stop_butClick()
{
    StopRequested = true;
}

void TMain_form::NextGrid1DblClick()
{
    // A double-click on the table does nothing.
}

} // namespace vantrel::ui
