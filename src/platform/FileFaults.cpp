#include "platform/FileFaults.h"

namespace {

TFileCallHook& Hook()
{
    static TFileCallHook hook;
    return hook;
}

} // namespace

void HookFileCalls(TFileCallHook hook)
{
    Hook() = std::move(hook);
}

int InjectedFileError(std::string_view call)
{
    return Hook() ? Hook()(call) : 0;
}
