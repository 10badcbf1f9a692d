#pragma once

#include <cstdint>

// A 32-bit draw from the operating system's cryptographic generator.
std::uint32_t SystemRandom32();

// A free-running high-resolution counter, used to seed the deterministic generator.
std::uint64_t HighResolutionCounter();
