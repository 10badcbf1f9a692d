#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

// The compressed bytes of one member, already decrypted; Read yields 0 at their end.
class TMemberSource {
public:
    virtual ~TMemberSource() = default;
    virtual std::size_t Read(char* buffer, std::size_t count) = 0;
};

using TDecodedSink = std::function<void(std::string_view)>;

// One compression method's decoder. Decode hands exactly Size bytes to the sink in
// order, and raises AppError when the data ends early, holds more, or is damaged.
class TMemberDecoder {
public:
    virtual ~TMemberDecoder() = default;
    virtual void Decode(TMemberSource& source, std::uint64_t size, const TDecodedSink& sink) = 0;
};

// The decoder of a method, or none when the method is not supported.
std::unique_ptr<TMemberDecoder> MakeMemberDecoder(std::uint16_t method);

// The error every decoder raises for data it cannot decode.
[[noreturn]] void RaiseDamagedData();
