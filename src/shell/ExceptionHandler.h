#pragma once

#include <exception>
#include <string>

// Message followed by a full stop, unless it is empty or its last character's
// code is not above that of "." (so none after ".", "!" or ")").
std::string WithFullStop(const std::string& message);

// The application's default handler: a box titled with the application title,
// the error icon, the message and OK.
void ShowApplicationException(const std::exception& error);

// Runs a command handler; an exception that escapes it goes to the default handler,
// so none crosses the event loop.
template <typename Handler>
void RunGuarded(Handler&& handler)
{
    try {
        handler();
    } catch (const std::exception& error) {
        ShowApplicationException(error);
    }
}

// The start-up failure box: "Application Error", the error's kind, the program
// file and the code address, then the message.
std::string StartupErrorText(const std::exception& error);
void ShowStartupError(const std::exception& error);
