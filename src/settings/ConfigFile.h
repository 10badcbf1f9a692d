#pragma once

#include <string>
#include <string_view>
#include <vector>

// The parsed INI content of the product's configuration file (its plain lines).
class TConfigFile {
public:
    static TConfigFile Parse(const std::vector<std::string>& plainLines);

    // The value of Key in Section (names matched after ANSI upper-casing): only the
    // section's last occurrence is searched, and its last pair wins. Empty when absent.
    std::string Value(std::string_view section, std::string_view key) const;

private:
    struct Pair {
        std::string key;
        std::string value;
    };
    struct Section {
        std::string name;
        std::vector<Pair> pairs;
    };

    std::vector<Section> sections;
};
