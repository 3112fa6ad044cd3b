#include "ui/window_accessible.h"

#include "grid/table_accessible.h"
#include "ui/main_form.h"
#include "ui/masked_text_events.h"
#include "ui/nx_check_box.h"
#include "ui/nx_edit.h"
#include "ui/nx_label.h"
#include "ui/nx_panel.h"
#include "ui/speed_button.h"

#include <QAccessibleWidget>
#include <algorithm>

namespace vantrel::ui {

namespace {

QString ShortcutText(const QKeySequence& key)
{
    return key.toString(QKeySequence::NativeText);
}

QStringList Bindings(const QKeySequence& key)
{
    return key.isEmpty() ? QStringList() : QStringList{ShortcutText(key)};
}

// The label that names `control`, if one of its siblings does.
TNxLabel* LabelOf(const QWidget& control)
{
    if (!control.parentWidget())
        return nullptr;
    for (TNxLabel* label : control.parentWidget()->findChildren<TNxLabel*>(Qt::FindDirectChildrenOnly))
        if (label->Buddy() == &control)
            return label;
    return nullptr;
}

// A tool button: named by its hint, pressed like a click.
class TSpeedButtonAccessible final : public QAccessibleWidget {
public:
    explicit TSpeedButtonAccessible(TSpeedButton* button) : QAccessibleWidget(button, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            return widget()->accessibleName().isEmpty() ? widget()->toolTip() : widget()->accessibleName();
        case QAccessible::Description:
            return widget()->accessibleDescription();   // the hint is the name already
        case QAccessible::Accelerator:
            return ShortcutText(Button().shortcut());
        default:
            return QAccessibleWidget::text(t);
        }
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.pressed = Button().isDown();
        return s;
    }
    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }
    void doAction(const QString& action) override
    {
        if (action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        if (Button().isEnabled() && Button().isVisible())
            Button().click();
    }
    QStringList keyBindingsForAction(const QString& action) const override
    {
        return action == pressAction() ? Bindings(Button().shortcut()) : QStringList();
    }

private:
    TSpeedButton& Button() const { return *static_cast<TSpeedButton*>(widget()); }
};

class TLabelAccessible final : public QAccessibleWidget {
public:
    explicit TLabelAccessible(TNxLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return Label().Caption();
        return QAccessibleWidget::text(t);
    }
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(
        QAccessible::Relation match) const override
    {
        auto found = QAccessibleWidget::relations(match);
        if ((match & QAccessible::Labelled) && Label().Buddy())
            if (QAccessibleInterface* buddy = QAccessible::queryAccessibleInterface(Label().Buddy()))
                found.append({buddy, QAccessible::Labelled});
        return found;
    }

private:
    TNxLabel& Label() const { return *static_cast<TNxLabel*>(widget()); }
};

// The key field: a password text named by its label. Its text reads as the
// mask characters the field shows, never as the key.
class TKeyFieldAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TKeyFieldAccessible(TNxEdit* field) : QAccessibleWidget(field, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            if (!widget()->accessibleName().isEmpty())
                return widget()->accessibleName();
            if (const TNxLabel* label = LabelOf(Field()))
                return label->Caption();
            return {};
        case QAccessible::Value:
            return MaskFor(Field(), Field().text().size());
        default:
            return QAccessibleWidget::text(t);
        }
    }
    void setText(QAccessible::Text, const QString&) override {}   // the key is typed, never set by a tool
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.passwordEdit = Field().echoMode() != QLineEdit::Normal;
        s.editable = !Field().isReadOnly();
        s.readOnly = Field().isReadOnly();
        s.selectableText = true;
        return s;
    }
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(
        QAccessible::Relation match) const override
    {
        auto found = QAccessibleWidget::relations(match);
        if (match & QAccessible::Label)
            if (TNxLabel* label = LabelOf(Field()))
                found.append({QAccessible::queryAccessibleInterface(label), QAccessible::Label});
        return found;
    }
    QStringList keyBindingsForAction(const QString& action) const override
    {
        const TNxLabel* label = LabelOf(Field());
        return action == setFocusAction() && label ? Bindings(label->BuddyShortcut()) : QStringList();
    }

    // --- QAccessibleTextInterface, over the mask characters
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override
    {
        *startOffset = *endOffset = 0;
        if (selectionIndex != 0 || !Field().hasSelectedText())
            return;
        *startOffset = Field().selectionStart();
        *endOffset = *startOffset + Field().selectionLength();
    }
    int selectionCount() const override { return Field().hasSelectedText() ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override { setSelection(0, startOffset, endOffset); }
    void removeSelection(int) override { Field().deselect(); }
    void setSelection(int, int startOffset, int endOffset) override
    {
        Field().setSelection(startOffset, endOffset - startOffset);
    }
    int cursorPosition() const override { return Field().cursorPosition(); }
    void setCursorPosition(int position) override { Field().setCursorPosition(position); }
    QString text(int startOffset, int endOffset) const override
    {
        const int count = characterCount();
        const int start = std::clamp(startOffset, 0, count);
        const int end = std::clamp(endOffset, start, count);
        return MaskFor(Field(), end - start);
    }
    int characterCount() const override { return static_cast<int>(Field().text().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint& point) const override
    {
        return Field().cursorPositionAt(Field().mapFromGlobal(point));
    }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

private:
    TNxEdit& Field() const { return *static_cast<TNxEdit*>(widget()); }
};

class TCheckBoxAccessible final : public QAccessibleWidget {
public:
    explicit TCheckBoxAccessible(TNxCheckBox* box) : QAccessibleWidget(box, QAccessible::CheckBox) {}

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            return widget()->accessibleName().isEmpty() ? Box().Caption() : widget()->accessibleName();
        case QAccessible::Accelerator:
            return ShortcutText(Box().Shortcut());
        default:
            return QAccessibleWidget::text(t);
        }
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = Box().Checked();
        s.pressed = Box().IsPressed();
        return s;
    }
    QStringList actionNames() const override { return QStringList{toggleAction()} + QAccessibleWidget::actionNames(); }
    void doAction(const QString& action) override
    {
        if (action != toggleAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        if (Box().isEnabled())
            Box().SetChecked(!Box().Checked());
    }
    QStringList keyBindingsForAction(const QString& action) const override
    {
        return action == toggleAction() ? Bindings(Box().Shortcut()) : QStringList();
    }

private:
    TNxCheckBox& Box() const { return *static_cast<TNxCheckBox*>(widget()); }
};

template <class Control>
bool Is(const QString& className)
{
    return className == QLatin1String(Control::staticMetaObject.className());
}

QAccessibleInterface* WindowAccessibleFactory(const QString& className, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (Is<TMain_form>(className))
        return new QAccessibleWidget(widget, QAccessible::Window);
    if (Is<TNxPanel>(className))
        return new QAccessibleWidget(widget, QAccessible::ToolBar);
    if (Is<TSpeedButton>(className))
        return new TSpeedButtonAccessible(static_cast<TSpeedButton*>(widget));
    if (Is<TNxLabel>(className))
        return new TLabelAccessible(static_cast<TNxLabel*>(widget));
    if (Is<TNxEdit>(className))
        return new TKeyFieldAccessible(static_cast<TNxEdit*>(widget));
    if (Is<TNxCheckBox>(className))
        return new TCheckBoxAccessible(static_cast<TNxCheckBox*>(widget));
    return nullptr;
}

} // namespace

void InstallAccessibleInterfaces()
{
    static const bool installed = [] {
        QAccessible::installFactory(&grid::NextGridAccessibleFactory);
        QAccessible::installFactory(&WindowAccessibleFactory);
        return true;
    }();
    (void)installed;
}

} // namespace vantrel::ui
