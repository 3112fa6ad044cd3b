#pragma once
// A grid set up like the main window's file table, shown in a top-level
// window, plus a recorder of the regions the viewport is asked to paint.
#include "grid/next_grid.h"
#include <QEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QRegion>
#include <QTest>
#include <QWidget>
#include <memory>
#include <vector>

namespace vantrel::grid::testing {

inline void ConfigureAsFileTable(TNextGrid& grid)
{
    grid.SetOptions(goCanHideColumn | goGrid | goHeader | goSelectFullRow);
    grid.SetHeaderStyle(hsOffice2010);
    grid.SetReadOnly(true);
    auto text = [&](const char* caption, int width, Qt::Alignment align) {
        auto& c = grid.Columns().Add<TNxTextColumn>();
        c.Header().Caption = QString::fromLatin1(caption);
        c.Header().Alignment = Qt::AlignHCenter;
        c.SetWidth(width);
        c.SetDefaultWidth(width);
        c.SetAlignment(align);
    };
    text("Source files", 306, Qt::AlignLeft);
    text("Status", 124, Qt::AlignHCenter);
    auto& p = grid.Columns().Add<TNxProgressColumn>();
    p.Header().Caption = QStringLiteral("Progress");
    p.Header().Alignment = Qt::AlignHCenter;
    p.SetWidth(77);
    p.SetAlignment(Qt::AlignHCenter);
    p.SetSortType(stNumeric);
    p.ProgressStyle = psGradient;
    p.ShowText = true;
    p.TextPosition = tpInside;
    p.BorderColor = QColor(0xFF, 0xFF, 0xFF);
    p.Margin = 0;
    text("Decoded files", 323, Qt::AlignLeft);
}

// Records every paint the viewport receives; marking alone records nothing.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QWidget* target) { target->installEventFilter(this); }
    std::vector<QRegion> paints;
    QRegion Union() const
    {
        QRegion all;
        for (const auto& r : paints)
            all += r;
        return all;
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            paints.push_back(static_cast<QPaintEvent*>(e)->region());
        return false;
    }
};

// The grid in a window of the main window's table size, shown and focused.
struct ShownFileTable {
    ShownFileTable(int width = 859, int height = 476)
    {
        grid = new TNextGrid(&window);
        ConfigureAsFileTable(*grid);
        grid->setGeometry(0, 0, width, height);
        window.resize(width, height + 30);
        window.show();
        window.activateWindow();
        (void)QTest::qWaitForWindowExposed(&window);
        (void)QTest::qWaitForWindowActive(&window);
        grid->setFocus();
        QCoreApplication::processEvents();
    }
    void AddRows(int n)
    {
        for (int i = 0; i < n; ++i)
            grid->AddRow(1);
    }
    QImage Shot() { return grid->viewport()->grab().toImage(); }
    int RowTop(int row) const { return grid->HeaderSize() + (row - grid->FirstRowInView()) * 17; }

    QWidget window;
    TNextGrid* grid = nullptr;
};

// Left-button gestures sent straight to a widget, with the held button in
// every move, as the window system reports them.
class Mouse {
public:
    explicit Mouse(QWidget* target) : target_(target) {}
    void Press(QPoint pos, Qt::MouseButton button = Qt::LeftButton)
    {
        held_ = button;
        Send(QEvent::MouseButtonPress, pos, button, button);
    }
    void MoveTo(QPoint pos) { Send(QEvent::MouseMove, pos, Qt::NoButton, held_); }
    void Release(QPoint pos)
    {
        const Qt::MouseButton button = held_;
        held_ = Qt::NoButton;
        Send(QEvent::MouseButtonRelease, pos, button, Qt::NoButton);
    }
    // What a user's double-click delivers: a click, then a double-click
    // press and its release.
    void DoubleClick(QPoint pos)
    {
        Press(pos);
        Release(pos);
        held_ = Qt::LeftButton;
        Send(QEvent::MouseButtonDblClick, pos, Qt::LeftButton, Qt::LeftButton);
        Release(pos);
    }
    void Drag(QPoint from, QPoint to)
    {
        Press(from);
        MoveTo(to);
        Release(to);
    }

private:
    void Send(QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QMouseEvent e(type, QPointF(pos), QPointF(target_->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(target_, &e);
    }
    QWidget* target_;
    Qt::MouseButton held_ = Qt::NoButton;
};

inline QColor Pixel(const QImage& image, int x, int y)
{
    return image.pixelColor(x, y);
}

} // namespace vantrel::grid::testing
