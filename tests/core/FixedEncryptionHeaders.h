#pragma once

#include "model/Random.h"
#include "platform/LocalTime.h"

// While it lives, encryption headers come out the same every run (fixed random
// bytes and a fixed clock), so a wrong password never passes the check byte by chance.
class FixedEncryptionHeaders {
public:
    FixedEncryptionHeaders()
    {
        SelectRandomSource(RandomSource::Deterministic);
        SetRandomState(1);
        FixLocalNow(TLocalTime { 2026, 12, 10, 12, 0, 0 });
    }
    ~FixedEncryptionHeaders()
    {
        SelectRandomSource(RandomSource::System);
        FixLocalNow(std::nullopt);
    }
    FixedEncryptionHeaders(const FixedEncryptionHeaders&) = delete;
    FixedEncryptionHeaders& operator=(const FixedEncryptionHeaders&) = delete;
};
