#pragma once

#include "model/Stream.h"

class TbrmPwList;

// The text that TbrmPwList::SaveToStream writes, read straight from the list, so a
// writer can take it piece by piece without the whole text ever being held. The
// list must not change while the stream is in use; writing is refused.
class TSiteListStream : public TStream {
public:
    explicit TSiteListStream(const TbrmPwList& list);

    std::size_t Read(void* buffer, std::size_t count) override;
    void Write(const void* buffer, std::size_t count) override;
    std::uint64_t Position() const override { return position; }
    void SetPosition(std::uint64_t newPosition) override;
    std::uint64_t Size() const override { return size; }

private:
    const TbrmPwList& list;
    std::uint64_t size = 0;
    std::uint64_t position = 0;
    // Where the position lies: a line, and an offset into that line and its CR LF.
    int line = 0;
    std::size_t offset = 0;
};
