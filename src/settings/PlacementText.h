#pragma once

#include <string>
#include <string_view>
#include <vector>

// A window's outer rectangle (frame and caption included), in screen pixels.
struct TWindowBounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// A rectangle whose right and bottom edges lie outside it.
struct TScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct TScreenAreas {
    TScreenRect monitor;
    TScreenRect workArea; // the monitor without its task bars
};

enum class TPlacementState { Normal = 0, Minimised = 1, Maximised = 2 };

// Marks a number the placement text lacks.
constexpr int MissingNumber = -999;

// "State Top Left Height Width", or "2" for a maximised window.
std::string FormatPlacement(TPlacementState state, const TWindowBounds& bounds);

struct TPlacementWords {
    int state = 0; // the low eight bits of the first word
    int top = MissingNumber;
    int left = MissingNumber;
    int height = MissingNumber;
    int width = MissingNumber;

    bool HasBounds() const;
};

// Reads a placement text: words are separated by spaces only; a word that is absent
// or not a decimal integer reads as MissingNumber, or for the state as CurrentState.
TPlacementWords ParsePlacement(std::string_view text, int currentState);

// The bounds moved into the work area: left and top edges first, then the right and
// bottom edges, so a window larger than the area sticks out at its left and top.
TWindowBounds FitIntoWorkArea(TWindowBounds bounds, const TScreenRect& workArea);

// The work area of the monitor that shares the largest area with the bounds, or,
// when none does, of the nearest one. None of the monitors: the bounds' own rectangle.
TScreenRect NearestWorkArea(const TWindowBounds& bounds, const std::vector<TScreenAreas>& screens);
