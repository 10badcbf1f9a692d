#pragma once

#include <algorithm>
#include <cstddef>
#include <future>
#include <system_error>
#include <thread>
#include <vector>

inline std::size_t ProcessorCount()
{
    return std::max(1u, std::thread::hardware_concurrency());
}

// [0, Count) cut into one piece per processor, none smaller than SmallestPiece
// (small counts stay whole: starting a thread would cost more than it saves).
// Yields the piece boundaries, from 0 to Count.
inline std::vector<std::size_t> PieceBounds(std::size_t count, std::size_t smallestPiece)
{
    const std::size_t pieces
        = std::clamp<std::size_t>(count / std::max<std::size_t>(smallestPiece, 1), 1, ProcessorCount());
    std::vector<std::size_t> bounds;
    for (std::size_t piece = 0; piece <= pieces; ++piece)
        bounds.push_back(count * piece / pieces);
    return bounds;
}

// Runs Work(begin, end) for every piece of Bounds at once, the first on the calling
// thread. An exception of any piece is raised once every piece has ended.
template <typename Work>
void ForEachPiece(const std::vector<std::size_t>& bounds, const Work& work)
{
    std::vector<std::future<void>> others;
    std::vector<std::size_t> leftOver; // pieces no thread could be started for
    for (std::size_t piece = 1; piece + 1 < bounds.size(); ++piece) {
        try {
            others.push_back(std::async(std::launch::async, work, bounds[piece], bounds[piece + 1]));
        } catch (const std::system_error&) {
            leftOver.push_back(piece);
        }
    }
    try {
        work(bounds[0], bounds[1]);
        for (const std::size_t piece : leftOver)
            work(bounds[piece], bounds[piece + 1]);
    } catch (...) {
        for (std::future<void>& other : others)
            other.wait();
        throw;
    }
    for (std::future<void>& other : others)
        other.get();
}

// Runs Work once on every processor, as ForEachPiece does.
template <typename Work>
void RunOnEveryProcessor(const Work& work)
{
    std::vector<std::size_t> bounds;
    for (std::size_t processor = 0; processor <= ProcessorCount(); ++processor)
        bounds.push_back(processor);
    ForEachPiece(bounds, [&](std::size_t, std::size_t) { work(); });
}
