#include "settings/PlacementText.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>

namespace {

std::vector<std::string_view> SpaceSeparatedWords(std::string_view text)
{
    std::vector<std::string_view> words;
    std::size_t start = text.find_first_not_of(' ');
    while (start != std::string_view::npos) {
        const std::size_t end = std::min(text.find(' ', start), text.size());
        words.push_back(text.substr(start, end - start));
        start = text.find_first_not_of(' ', end);
    }
    return words;
}

// A decimal integer with an optional sign that fits a 32-bit number.
bool ReadInteger(std::string_view word, int& value)
{
    if (!word.empty() && word.front() == '+')
        word.remove_prefix(1);
    if (word.empty() || word.front() == '+')
        return false;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    return error == std::errc() && end == word.data() + word.size();
}

int IntegerOr(const std::vector<std::string_view>& words, std::size_t index, int fallback)
{
    int value = 0;
    return index < words.size() && ReadInteger(words[index], value) ? value : fallback;
}

bool Inside(const TScreenRect& area, int x, int y)
{
    return x >= area.left && x < area.right && y >= area.top && y < area.bottom;
}

std::int64_t Overlap(int lowA, int highA, int lowB, int highB)
{
    return std::max<std::int64_t>(0, std::int64_t { std::min(highA, highB) } - std::max(lowA, lowB));
}

std::int64_t Gap(int lowA, int highA, int lowB, int highB)
{
    return std::max<std::int64_t>({ 0, std::int64_t { lowB } - highA, std::int64_t { lowA } - highB });
}

} // namespace

std::string FormatPlacement(TPlacementState state, const TWindowBounds& bounds)
{
    if (state == TPlacementState::Maximised)
        return "2";
    return std::to_string(static_cast<int>(state)) + " " + std::to_string(bounds.top) + " "
        + std::to_string(bounds.left) + " " + std::to_string(bounds.height) + " " + std::to_string(bounds.width);
}

bool TPlacementWords::HasBounds() const
{
    return top != MissingNumber || left != MissingNumber || height != MissingNumber || width != MissingNumber;
}

TPlacementWords ParsePlacement(std::string_view text, int currentState)
{
    const std::vector<std::string_view> words = SpaceSeparatedWords(text);
    TPlacementWords placement;
    placement.state = IntegerOr(words, 0, currentState) & 0xFF;
    placement.top = IntegerOr(words, 1, MissingNumber);
    placement.left = IntegerOr(words, 2, MissingNumber);
    placement.height = IntegerOr(words, 3, MissingNumber);
    placement.width = IntegerOr(words, 4, MissingNumber);
    return placement;
}

TWindowBounds FitIntoWorkArea(TWindowBounds bounds, const TScreenRect& workArea)
{
    if (!Inside(workArea, bounds.left, bounds.top)) {
        bounds.left = std::max(bounds.left, workArea.left);
        bounds.top = std::max(bounds.top, workArea.top);
    }
    const std::int64_t right = std::int64_t { bounds.left } + bounds.width;
    const std::int64_t bottom = std::int64_t { bounds.top } + bounds.height;
    if (right > workArea.right)
        bounds.left = workArea.right - bounds.width;
    if (bottom > workArea.bottom)
        bounds.top = workArea.bottom - bounds.height;
    return bounds;
}

TScreenRect NearestWorkArea(const TWindowBounds& bounds, const std::vector<TScreenAreas>& screens)
{
    const int right = bounds.left + bounds.width;
    const int bottom = bounds.top + bounds.height;
    const TScreenAreas* best = nullptr;
    std::int64_t bestOverlap = 0;
    std::int64_t bestDistance = std::numeric_limits<std::int64_t>::max();
    for (const TScreenAreas& screen : screens) {
        const TScreenRect& m = screen.monitor;
        const std::int64_t overlap = Overlap(bounds.left, right, m.left, m.right) * Overlap(bounds.top, bottom, m.top, m.bottom);
        const std::int64_t dx = Gap(bounds.left, right, m.left, m.right);
        const std::int64_t dy = Gap(bounds.top, bottom, m.top, m.bottom);
        const std::int64_t distance = dx * dx + dy * dy;
        if (overlap > bestOverlap || (bestOverlap == 0 && overlap == 0 && distance < bestDistance)) {
            best = &screen;
            bestOverlap = overlap;
            bestDistance = distance;
        }
    }
    return best != nullptr ? best->workArea : TScreenRect { bounds.left, bounds.top, right, bottom };
}
