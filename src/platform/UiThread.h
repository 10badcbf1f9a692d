#pragma once

// Prepares the user-interface thread for the platform's shell services
// (the component object library on Windows).
void InitialiseUiThread();
