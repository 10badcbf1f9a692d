#include "archive/MemberDecoder.h"

#include "archive/ZipLayout.h"
#include "platform/AppError.h"

std::unique_ptr<TMemberDecoder> MakeStoredDecoder();
std::unique_ptr<TMemberDecoder> MakeDeflateDecoder();

std::unique_ptr<TMemberDecoder> MakeMemberDecoder(std::uint16_t method)
{
    switch (method) {
    case ZipLayout::MethodStored: return MakeStoredDecoder();
    case ZipLayout::MethodDeflate: return MakeDeflateDecoder();
    default: return nullptr;
    }
}

void RaiseDamagedData()
{
    throw AppError("Invalid compressed data");
}
