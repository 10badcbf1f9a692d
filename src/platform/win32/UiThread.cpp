#include "platform/UiThread.h"

#include "platform/AppError.h"

#include <objbase.h>

void InitialiseUiThread()
{
    const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(result) && result != RPC_E_CHANGED_MODE)
        throw AppError("Cannot initialise the component object library.");
}
