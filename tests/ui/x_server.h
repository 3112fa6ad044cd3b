#pragma once
// The X server's view of the program's windows, for tests on a real X
// display: captions, frames, windows of other processes, and the messages
// of the window manager.
#include <QApplication>
#include <QByteArray>
#include <QDialog>
#include <QMessageBox>
#include <QSize>
#include <QString>
#include <QTimer>
#include <QtGui/qguiapplication_platform.h>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <xcb/xcb.h>

namespace vantrel::testing {

// Reads the X server's view of windows through the application's own
// connection, so that it sees exactly what Qt sent.
class XServer {
public:
    XServer()
        : x_(qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection())
    {
    }

    // The caption as the window manager gets it.
    QString Caption(xcb_window_t window) const
    {
        return QString::fromUtf8(Property(window, "_NET_WM_NAME", "UTF8_STRING"));
    }

    // Whether a window manager has taken the screen.
    bool WindowManagerRunning() const
    {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x_)).data->root;
        return Property(root, "_NET_SUPPORTING_WM_CHECK", "WINDOW").size() == 4;
    }

    // The shown top-level window of a process, or 0.
    xcb_window_t ShownWindowOf(qint64 pid) const
    {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x_)).data->root;
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(x_, xcb_query_tree(x_, root), nullptr);
        xcb_window_t found = 0;
        if (tree) {
            const xcb_window_t* children = xcb_query_tree_children(tree);
            for (int i = 0; i < xcb_query_tree_children_length(tree) && !found; ++i) {
                const QByteArray owner = Property(children[i], "_NET_WM_PID", "CARDINAL");
                if (owner.size() != 4 || *reinterpret_cast<const quint32*>(owner.constData()) != pid)
                    continue;
                xcb_get_window_attributes_reply_t* attributes =
                    xcb_get_window_attributes_reply(x_, xcb_get_window_attributes(x_, children[i]), nullptr);
                if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE)
                    found = children[i];
                free(attributes);
            }
            free(tree);
        }
        return found;
    }

    // The outer size of a shown top-level window: its frame's, under a
    // window manager that frames it.
    QSize OuterSize(xcb_window_t window) const
    {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x_)).data->root;
        for (;;) {
            xcb_query_tree_reply_t* tree = xcb_query_tree_reply(x_, xcb_query_tree(x_, window), nullptr);
            const xcb_window_t parent = tree ? tree->parent : root;
            free(tree);
            if (parent == root)
                break;
            window = parent;
        }
        xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(x_, xcb_get_geometry(x_, window), nullptr);
        const QSize size = geometry ? QSize(geometry->width + 2 * geometry->border_width,
                                            geometry->height + 2 * geometry->border_width)
                                    : QSize();
        free(geometry);
        return size;
    }

    // What the close button of the window's frame sends.
    void AskToClose(xcb_window_t window) const
    {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = Atom("WM_PROTOCOLS");
        message.data.data32[0] = Atom("WM_DELETE_WINDOW");
        message.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(x_, false, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
        xcb_flush(x_);
    }

private:
    xcb_atom_t Atom(const char* name) const
    {
        xcb_intern_atom_reply_t* reply =
            xcb_intern_atom_reply(x_, xcb_intern_atom(x_, false, uint16_t(strlen(name)), name), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(reply);
        return atom;
    }

    QByteArray Property(xcb_window_t window, const char* name, const char* type) const
    {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            x_, xcb_get_property(x_, false, window, Atom(name), Atom(type), 0, 1024), nullptr);
        QByteArray value;
        if (reply)
            value = QByteArray(static_cast<const char*>(xcb_get_property_value(reply)),
                               xcb_get_property_value_length(reply));
        free(reply);
        return value;
    }

    xcb_connection_t* x_;
};

// What a modal box or dialog shown by `show` says: the caption the window
// manager got for it and, for a message box, its text. Closes it again.
struct ModalSeen {
    QString caption = QStringLiteral("<nothing shown>");
    QString text;
};

inline ModalSeen SeeModal(const std::function<void()>& show)
{
    ModalSeen seen;
    QTimer::singleShot(0, [&seen] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        seen.caption = XServer().Caption(modal->winId());
        if (auto* box = qobject_cast<QMessageBox*>(modal))
            seen.text = box->text();
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
    });
    show();
    return seen;
}

inline QString CaptionOfModal(const std::function<void()>& show)
{
    return SeeModal(show).caption;
}

} // namespace vantrel::testing
