#pragma once

// The cursor shown over every window of the application.
void ShowBusyScreenCursor();
void ShowDefaultScreenCursor();
