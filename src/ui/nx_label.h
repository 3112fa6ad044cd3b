#pragma once
// A caption drawn at the top left in the window's font and text colour, with
// no background of its own. The label takes the size of its caption.
#include <QWidget>

namespace vantrel::ui {

class TNxLabel : public QWidget {
    Q_OBJECT
public:
    explicit TNxLabel(const QString& caption, QWidget* parent = nullptr);

    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& caption);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
};

} // namespace vantrel::ui
