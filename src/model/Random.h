#pragma once

#include <cstdint>

// The process-wide random source. The program draws from the operating system's
// cryptographic generator; tests select the seeded deterministic generator
// (S := S * 134775813 + 1) to check exact draw sequences.
enum class RandomSource { System, Deterministic };

void SelectRandomSource(RandomSource source);

// Seeds the deterministic generator from the high-resolution counter.
void SeedRandom();

void SetRandomState(std::uint32_t state);
std::uint32_t RandomState();

// A whole number from 0 to N - 1 (0 for N = 0): the upper 32 bits of a 32-bit draw
// times N. Every call makes exactly one draw.
std::uint32_t RandomInt(std::uint32_t n);
