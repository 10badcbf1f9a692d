#pragma once

// The program's entry steps and message loop, run inside an existing QApplication.
// Yields the process's exit code: 1 when start-up fails.
int RunProgram();
