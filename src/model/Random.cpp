#include "model/Random.h"

#include "platform/SystemRandom.h"

namespace {

RandomSource activeSource = RandomSource::System;
std::uint32_t deterministicState = 0;

std::uint32_t NextDraw()
{
    if (activeSource == RandomSource::System)
        return SystemRandom32();
    deterministicState = deterministicState * 134775813u + 1u;
    return deterministicState;
}

} // namespace

void SelectRandomSource(RandomSource source)
{
    activeSource = source;
}

void SeedRandom()
{
    deterministicState = static_cast<std::uint32_t>(HighResolutionCounter());
}

void SetRandomState(std::uint32_t state)
{
    deterministicState = state;
}

std::uint32_t RandomState()
{
    return deterministicState;
}

std::uint32_t RandomInt(std::uint32_t n)
{
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(NextDraw()) * n) >> 32);
}
