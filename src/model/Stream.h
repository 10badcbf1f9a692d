#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// A positioned sequence of bytes that the core reads from and writes to.
class TStream {
public:
    virtual ~TStream() = default;

    // Reads up to Count bytes at the position; yields how many were read.
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Writes all Count bytes at the position, extending the stream as needed.
    virtual void Write(const void* buffer, std::size_t count) = 0;
    virtual std::uint64_t Position() const = 0;
    virtual void SetPosition(std::uint64_t position) = 0;
    virtual std::uint64_t Size() const = 0;
    // A hint that Count bytes are about to be written at the position.
    virtual void Reserve(std::uint64_t count) { (void)count; }

    // All bytes from the position to the end.
    std::string ReadToEnd();
    void WriteBytes(std::string_view bytes) { Write(bytes.data(), bytes.size()); }
};

// A stream held in memory.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::string bytes) : bytes(std::move(bytes)) {}

    std::size_t Read(void* buffer, std::size_t count) override;
    void Write(const void* buffer, std::size_t count) override;
    std::uint64_t Position() const override { return position; }
    void SetPosition(std::uint64_t newPosition) override;
    std::uint64_t Size() const override { return bytes.size(); }
    void Reserve(std::uint64_t count) override;

    const std::string& Bytes() const { return bytes; }
    // Hands the bytes over, leaving the stream empty.
    std::string ReleaseBytes();

private:
    std::string bytes;
    std::size_t position = 0;
};
