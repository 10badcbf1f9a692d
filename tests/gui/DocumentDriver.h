#pragma once

#include <string>
#include <vector>

// Answers the next password prompts in turn: a password typed (twice in the dialog
// that asks twice) and OK, or an empty text for Cancel. Counts the prompts.
void AnswerPrompts(std::vector<std::string> answers, int& prompts);

// The member "Data" of the archive at Path, read with Password.
std::string ReadMember(const std::string& path, const std::string& password);

// An archive at Path whose member "Data" holds Text, encrypted when Password is set.
void WriteMember(const std::string& path, const std::string& text, const std::string& password);
