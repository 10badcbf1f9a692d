#include "archive/MemberDecoder.h"

#include "archive/ZipLayout.h"
#include "platform/AppError.h"

std::unique_ptr<TMemberDecoder> MakeStoredDecoder();
std::unique_ptr<TMemberDecoder> MakeDeflateDecoder();
std::unique_ptr<TMemberDecoder> MakeBzip2Decoder();
std::unique_ptr<TMemberDecoder> MakeLzmaDecoder();

namespace {

constexpr std::uint16_t MethodBzip2 = 12;
constexpr std::uint16_t MethodLzma = 14;

} // namespace

std::unique_ptr<TMemberDecoder> MakeMemberDecoder(std::uint16_t method)
{
    switch (method) {
    case ZipLayout::MethodStored: return MakeStoredDecoder();
    case ZipLayout::MethodDeflate: return MakeDeflateDecoder();
    case MethodBzip2: return MakeBzip2Decoder();
    case MethodLzma: return MakeLzmaDecoder();
    default: return nullptr;
    }
}

void RaiseDamagedData()
{
    throw AppError("Invalid compressed data");
}
