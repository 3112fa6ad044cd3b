#include "ui/text_viewer.h"

#include "batch/code_page_text.h"
#include "ui/find_bar.h"
#include "ui/text_pane.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QShortcut>
#include <QVBoxLayout>

namespace vantrel::ui {
namespace {

QString FromView(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QString Size(std::int64_t bytes)
{
    return QLocale::c().formattedDataSize(bytes, 1, QLocale::DataSizeIecFormat);
}

} // namespace

TextViewer::TextViewer(const QString& path, batch::OutputBeginning beginning, const std::string& keyCodePage,
                       QWidget* parent)
    : QMainWindow(parent), beginning_(std::move(beginning))
{
    setObjectName(QStringLiteral("TextViewer"));
    setWindowTitle(QFileInfo(path).fileName());
    resize(760, 560);

    auto* body = new QWidget(this);
    setCentralWidget(body);
    auto* codePageLabel = new QLabel(QStringLiteral("&Code page:"), body);
    codePages_ = new QComboBox(body);
    codePageLabel->setBuddy(codePages_);
    CreateCodePageList(QString::fromStdString(keyCodePage));

    note_ = new QLabel(body);
    note_->setWordWrap(true);
    note_->hide();

    text_ = new TextPane(body);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text_->setAccessibleName(windowTitle());
    find_ = new FindBar(*text_, [this] { return text_->IsFilled(); }, body);

    auto* top = new QHBoxLayout;
    top->setContentsMargins(6, 4, 6, 4);
    top->addWidget(codePageLabel);
    top->addWidget(codePages_);
    top->addStretch(1);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(top);
    layout->addWidget(note_);
    layout->addWidget(text_, 1);
    layout->addWidget(find_);
    note_->setContentsMargins(6, 0, 6, 4);

    CreateShortcuts();
    connect(codePages_, &QComboBox::currentIndexChanged, this, &TextViewer::ShowConverted);
    ShowConverted();
    text_->setFocus();
}

void TextViewer::CreateCodePageList(const QString& keyCodePage)
{
    const QString keyMark = QStringLiteral(" (the key's)");
    int keyIndex = -1;
    for (const batch::TextCodePage& page : batch::TextCodePages()) {
        const QString name = FromView(page.name);
        QString text = name + QStringLiteral(" – ") + FromView(page.script);
        if (name.compare(keyCodePage, Qt::CaseInsensitive) == 0) {
            keyIndex = codePages_->count();
            text += keyMark;
        }
        codePages_->addItem(text, name);
    }
    if (keyIndex < 0) {
        // A code page of the key's that the list does not name: first.
        codePages_->insertItem(0, keyCodePage + keyMark, keyCodePage);
        keyIndex = 0;
    }
    codePages_->setCurrentIndex(keyIndex);
}

void TextViewer::CreateShortcuts()
{
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, find_, &FindBar::Open);
    auto* next = new QShortcut(QKeySequence::FindNext, this);
    connect(next, &QShortcut::activated, this, [this] {
        if (find_->isHidden()) find_->Open();
        find_->FindNext();
    });
    auto* previous = new QShortcut(QKeySequence::FindPrevious, this);
    connect(previous, &QShortcut::activated, this, [this] {
        if (find_->isHidden()) find_->Open();
        find_->FindPrevious();
    });
}

QString TextViewer::CodePage() const
{
    return codePages_->currentData().toString();
}

void TextViewer::ShowInCodePage(const QString& codePage)
{
    const int index = codePages_->findData(codePage);
    if (index >= 0) codePages_->setCurrentIndex(index);
}

void TextViewer::ShowConverted()
{
    const QString codePage = CodePage();
    const bool cut = std::int64_t(beginning_.bytes.size()) < beginning_.fileSize;
    std::optional<std::u16string> text = batch::TextFromCodePage(
        beginning_.bytes, codePage.toStdString(), cut ? batch::TextEnd::Cut : batch::TextEnd::Whole);
    QStringList notes;
    if (cut)
        notes.append(QStringLiteral("The file is %1: only its first %2 are shown.")
                         .arg(Size(beginning_.fileSize), Size(std::int64_t(beginning_.bytes.size()))));
    if (!text) notes.append(QStringLiteral("This system cannot convert text from %1.").arg(codePage));
    note_->setText(notes.join(QLatin1Char(' ')));
    note_->setVisible(!notes.isEmpty());
    text_->ShowText(text ? std::move(*text) : std::u16string());
}

} // namespace vantrel::ui
