#pragma once

#include <string>

// Path followed by the platform's path separator, unless it already ends in one.
std::string AddBackslash(const std::string& path);

// The folder that holds the program and its product files. Tests point it at a
// folder of their own.
std::string ProgramFolder();
void OverrideProgramFolder(const std::string& folder);

std::string ConfigFileName();

// Each byte replaced by its bitwise complement; applied twice it gives Line back.
std::string InvertLine(const std::string& line);

// Show and withdraw the busy cursor, nested.
void BeginBusy();
void EndBusy();

// Opens Link through the desktop's opener under the busy cursor.
void OpenLink(const std::string& link);
