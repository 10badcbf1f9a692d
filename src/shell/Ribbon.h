#pragma once

#include <QTabWidget>
#include <QToolButton>

#include <map>
#include <string>

// A flat ribbon button: its picture above its caption, the caption wrapped onto as
// many lines as the button's width needs, never clipped.
class TRibbonButton : public QToolButton {
public:
    using QToolButton::QToolButton;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The ribbon "sPageControlMain": the File, Edit, Tools and Help pages, each a row of
// ribbon buttons in groups parted by thin dividers. Buttons are yielded by name.
QTabWidget* BuildRibbon(QWidget& parent, std::map<std::string, QToolButton*>& buttons);
