#pragma once

#include <functional>
#include <string_view>

// The seam every file-system call of a save passes through, so that tests can make
// any one of them fail as a failing or full disk would. The hook is told the call's
// name ("open-unnamed", "open", "write", "fchmod", "fsync", "link", "rename",
// "close", "unlink")
// and answers 0 to let it through or the system error it is to fail with.
using TFileCallHook = std::function<int(std::string_view call)>;

// An empty hook lets every call through.
void HookFileCalls(TFileCallHook hook);

// The error the named call is to fail with, 0 when it goes through.
int InjectedFileError(std::string_view call);
