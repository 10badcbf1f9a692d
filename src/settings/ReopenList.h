#pragma once

#include <string>
#include <vector>

// The paths of the archives loaded last, most recent first, none empty, each as
// it was given.
using TReopenList = std::vector<std::string>;

constexpr std::size_t ReopenListLimit = 5;

// Puts Path at the top of the list: the first entry that matches it is removed,
// or else the oldest entry when the list is full. An empty Path changes nothing.
void AddReopenEntry(TReopenList& list, const std::string& path);

// Whether two paths name the same archive: equal ignoring letter case once their
// menu accelerators are removed (each single "&" dropped, "&&" read as "&").
bool ReopenPathsMatch(const std::string& a, const std::string& b);
