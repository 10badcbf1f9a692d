#include "platform/LocalTime.h"

namespace {

std::optional<TLocalTime> fixedMoment;

} // namespace

TLocalTime LocalClockNow();

TLocalTime LocalNow()
{
    return fixedMoment ? *fixedMoment : LocalClockNow();
}

void FixLocalNow(std::optional<TLocalTime> moment)
{
    fixedMoment = moment;
}
