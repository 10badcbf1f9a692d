#pragma once

#include <string>

// Reserves room for Size bytes in Bytes, asking the system to back a large
// reservation with large memory pages: touching a site list's worth of fresh memory
// page by page costs as much as the work done in it.
void ReserveLargeBuffer(std::string& bytes, std::size_t size);
