// Writes the product's configuration file: every line of a plain INI source with
// its bytes inverted, line ends kept as CR LF. Placeholders "@NAME@" in the source
// are replaced by values given on the command line:
//   mkconfig SOURCE OUTPUT [NAME=VALUE | NAME=file:PATH]...
// "file:PATH" turns an absolute path into a file URL.

#include "ToolOutput.h"

#include <cctype>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>

namespace {

std::string FileUrl(const std::string& path)
{
    static const char* hex = "0123456789ABCDEF";
    std::string url = "file://";
    for (unsigned char byte : path) {
        const bool plain = std::isalnum(byte) || byte == '/' || byte == '-' || byte == '_' || byte == '.' || byte == '~';
        if (plain) {
            url += static_cast<char>(byte);
        } else {
            url += '%';
            url += hex[byte >> 4];
            url += hex[byte & 0x0F];
        }
    }
    return url;
}

std::string Substitute(std::string text, const std::map<std::string, std::string>& values)
{
    for (const auto& [name, value] : values) {
        const std::string placeholder = "@" + name + "@";
        for (std::size_t at = text.find(placeholder); at != std::string::npos;
             at = text.find(placeholder, at + value.size()))
            text.replace(at, placeholder.size(), value);
    }
    return text;
}

std::string Inverted(const std::string& line)
{
    std::string result(line);
    for (char& byte : result)
        byte = static_cast<char>(~static_cast<unsigned char>(byte));
    return result;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::cerr << "usage: mkconfig SOURCE OUTPUT [NAME=VALUE | NAME=file:PATH]...\n";
        return 1;
    }
    std::map<std::string, std::string> values;
    for (int i = 3; i < argc; ++i) {
        const std::string assignment = argv[i];
        const std::size_t equals = assignment.find('=');
        if (equals == std::string::npos) {
            std::cerr << "mkconfig: expected NAME=VALUE, got " << assignment << "\n";
            return 1;
        }
        std::string value = assignment.substr(equals + 1);
        if (value.rfind("file:", 0) == 0)
            value = FileUrl(value.substr(5));
        values[assignment.substr(0, equals)] = value;
    }

    std::ifstream source(argv[1], std::ios::binary);
    if (!source) {
        std::cerr << "mkconfig: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::ostringstream plain;
    std::string line;
    while (std::getline(source, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        plain << Inverted(Substitute(line, values)) << "\r\n";
    }

    return WriteProductFile("mkconfig", argv[2], plain.str()) ? 0 : 1;
}
