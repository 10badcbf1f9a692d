#pragma once

#include "settings/SingleInstance.h"

#include <QWidget>

#include <string>

// Turns a window's state, position and size into its placement text and back,
// keeping the window inside the work area of its nearest screen.
class TbrmFormRtns : public TSingleInstance<TbrmFormRtns> {
public:
    // Only the accessor FormRtn constructs the service.
    TbrmFormRtns();

    std::string SavePlacement(const QWidget& form) const;
    // Any text is accepted, the empty one included.
    void RestorePlacement(QWidget& form, const std::string& text) const;
    void FitToWorkArea(QWidget& form) const;
};

// The single placement service, made on the first call.
TbrmFormRtns& FormRtn();
