#include "platform/AppError.h"

#if defined(_MSC_VER)
#include <intrin.h>
#define SITEVAULT_CALLER_ADDRESS() _ReturnAddress()
#else
#define SITEVAULT_CALLER_ADDRESS() __builtin_return_address(0)
#endif

AppError::AppError(const std::string& message)
    : std::runtime_error(message), raiseAddress(SITEVAULT_CALLER_ADDRESS())
{
}
