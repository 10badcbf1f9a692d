#include "platform/UiThread.h"

// The desktop services used here (launchers, openers) need no per-thread set-up.
void InitialiseUiThread()
{
}
