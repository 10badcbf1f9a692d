#include "services/brmFormRtn.h"

#include "platform/qt/WindowGeometry.h"
#include "settings/PlacementText.h"

namespace {

TWindowBounds BoundsOf(const QRect& rect)
{
    return { rect.left(), rect.top(), rect.width(), rect.height() };
}

TScreenRect ScreenRectOf(const QRect& rect)
{
    return { rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height() };
}

TPlacementState PlacementStateOf(TShownState state)
{
    switch (state) {
    case TShownState::Minimised:
        return TPlacementState::Minimised;
    case TShownState::Maximised:
        return TPlacementState::Maximised;
    case TShownState::Normal:
        break;
    }
    return TPlacementState::Normal;
}

} // namespace

TbrmFormRtns::TbrmFormRtns() : TSingleInstance("FormRtn") {}

std::string TbrmFormRtns::SavePlacement(const QWidget& form) const
{
    return FormatPlacement(PlacementStateOf(ShownState(form)), BoundsOf(OuterGeometry(form)));
}

void TbrmFormRtns::RestorePlacement(QWidget& form, const std::string& text) const
{
    const TPlacementWords words = ParsePlacement(text, static_cast<int>(PlacementStateOf(ShownState(form))));
    if (words.HasBounds()) {
        // Missing numbers are applied as they are; the size limits catch a missing size.
        MoveOuter(form, QPoint(words.left, words.top));
        if (IsSizeable(form))
            ResizeOuter(form, QSize(words.width, words.height));
    }
    FitToWorkArea(form);
    // The window is shown normal first; minimising or maximising waits for the event
    // loop. States 3 to 255 are not window states and show the window normal.
    ShowNormalState(form);
    if (words.state == static_cast<int>(TPlacementState::Minimised))
        QueueShownState(form, TShownState::Minimised);
    else if (words.state == static_cast<int>(TPlacementState::Maximised))
        QueueShownState(form, TShownState::Maximised);
}

void TbrmFormRtns::FitToWorkArea(QWidget& form) const
{
    const TWindowBounds bounds = BoundsOf(OuterGeometry(form));
    std::vector<TScreenAreas> screens;
    for (const TScreenGeometry& screen : ScreenGeometries())
        screens.push_back({ ScreenRectOf(screen.monitor), ScreenRectOf(screen.workArea) });
    const TWindowBounds fitted = FitIntoWorkArea(bounds, NearestWorkArea(bounds, screens));
    if (fitted.left != bounds.left || fitted.top != bounds.top)
        MoveOuter(form, QPoint(fitted.left, fitted.top));
}

TbrmFormRtns& FormRtn()
{
    return TbrmFormRtns::Instance();
}
