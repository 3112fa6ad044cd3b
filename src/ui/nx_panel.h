#pragma once
// The toolbar strip: a vertical gradient from the window colour to the colour
// scheme's button face, with a one-pixel black line along its left and top.
#include <QColor>
#include <QWidget>

namespace vantrel::ui {

class TNxPanel : public QWidget {
    Q_OBJECT
public:
    // The blue scheme's button face, where the gradient ends.
    static constexpr QColor SchemeButtonFace{227, 239, 255};

    explicit TNxPanel(QWidget* parent = nullptr);

    // The colour of row y of a gradient `height` rows high: the start colour
    // at the top, one step short of `end` at the bottom.
    static QColor GradientRow(QColor start, QColor end, int y, int height);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace vantrel::ui
