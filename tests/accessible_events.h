#pragma once
// Assistive tools as seen from inside the process. The offscreen platform
// has no bridge to a desktop, and Qt drops accessibility events while no
// bridge is active, so the recorder turns the platform's own on for its
// life and keeps, for each event, what a tool would read at that moment.
// It stands where the desktop stands: its handler goes in before main(),
// so whatever the program installs later sits in front of it.
#include <QAccessible>
#include <QString>
#include <QVariant>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <vector>

namespace vantrel::testing {

struct ToldEvent {
    QAccessible::Event type = QAccessible::InvalidEvent;
    QObject* object = nullptr;
    QAccessible::Role role = QAccessible::NoRole;
    QString name;
    int row = -1;      // of a table cell
    int column = -1;
    QString text;      // inserted or removed text
    QVariant value;    // of a value change
    int change = -1;   // QAccessibleTableModelChangeEvent::ModelChangeType
    int firstRow = -1;
    int lastRow = -1;
};

class AccessibleEventRecorder {
public:
    AccessibleEventRecorder()
    {
        Platform()->setActive(true);
        current_ = this;
    }
    ~AccessibleEventRecorder()
    {
        current_ = nullptr;
        Platform()->setActive(false);
    }
    AccessibleEventRecorder(const AccessibleEventRecorder&) = delete;
    AccessibleEventRecorder& operator=(const AccessibleEventRecorder&) = delete;

    std::vector<ToldEvent> events;

    std::vector<ToldEvent> OfType(QAccessible::Event type) const
    {
        std::vector<ToldEvent> found;
        for (const ToldEvent& e : events)
            if (e.type == type)
                found.push_back(e);
        return found;
    }

private:
    static QPlatformAccessibility* Platform()
    {
        return QGuiApplicationPrivate::platformIntegration()->accessibility();
    }

    static void Record(QAccessibleEvent* event)
    {
        if (!current_)
            return;
        ToldEvent told;
        told.type = event->type();
        told.object = event->object();
        if (QAccessibleInterface* iface = event->accessibleInterface()) {
            told.role = iface->role();
            told.name = iface->text(QAccessible::Name);
            if (QAccessibleTableCellInterface* cell = iface->tableCellInterface()) {
                told.row = cell->rowIndex();
                told.column = cell->columnIndex();
            }
        }
        switch (event->type()) {
        case QAccessible::TextInserted:
            told.text = static_cast<QAccessibleTextInsertEvent*>(event)->textInserted();
            break;
        case QAccessible::TextRemoved:
            told.text = static_cast<QAccessibleTextRemoveEvent*>(event)->textRemoved();
            break;
        case QAccessible::TextUpdated:
            told.text = static_cast<QAccessibleTextUpdateEvent*>(event)->textRemoved() + QLatin1Char('|')
                      + static_cast<QAccessibleTextUpdateEvent*>(event)->textInserted();
            break;
        case QAccessible::ValueChanged:
            told.value = static_cast<QAccessibleValueChangeEvent*>(event)->value();
            break;
        case QAccessible::TableModelChanged: {
            auto* change = static_cast<QAccessibleTableModelChangeEvent*>(event);
            told.change = change->modelChangeType();
            told.firstRow = change->firstRow();
            told.lastRow = change->lastRow();
            break;
        }
        default:
            break;
        }
        current_->events.push_back(told);
    }

    static inline AccessibleEventRecorder* current_ = nullptr;
    static inline const bool installed_ = (QAccessible::installUpdateHandler(&Record), true);
};

} // namespace vantrel::testing
