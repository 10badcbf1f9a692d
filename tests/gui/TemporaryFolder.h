#pragma once

#include <QTemporaryDir>

#include <string>

// A throw-away folder that holds product files for one test.
class TemporaryFolder {
public:
    std::string Path() const { return folder.path().toStdString(); }
    std::string File(const std::string& name) const { return Path() + "/" + name; }
    void Write(const std::string& name, const std::string& bytes) const;

private:
    QTemporaryDir folder;
};

// A configuration file's bytes: each plain line inverted, followed by Ending.
std::string InvertedConfig(const std::initializer_list<std::string>& plainLines, const std::string& ending = "\r\n");
