#pragma once

#include <optional>
#include <string>

// What a user types into the site editor; empty texts leave a field as it is.
struct TSiteTyping {
    std::string site;
    std::string url;
    std::string user;
    std::string password;
    std::string notes;
};

// Answers the next site editor: types the fields and presses OK, or, without typing,
// presses Cancel. Records the name the editor showed when it opened.
void AnswerSiteEditor(std::optional<TSiteTyping> typing, std::string* shownName = nullptr);
