#pragma once

#include "model/Stream.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One stored site. Its site line is
// SiteName "=" UserName TAB Password TAB URL TAB escaped Notes.
class TbrmPwRec {
public:
    const std::string& Password() const { return FPassword; }
    const std::string& UserName() const { return FUserName; }
    const std::string& SiteName() const { return FSiteName; }
    const std::string& URL() const { return FURL; }
    // The notes as typed: the stored escaped text decoded.
    std::string Notes() const;

    // Every setter stores the value without blanks and control bytes at its ends.
    void SetPassword(std::string_view value);
    void SetUserName(std::string_view value);
    void SetSiteName(std::string_view value);
    void SetURL(std::string_view value);
    void SetNotes(std::string_view value);

    std::string GetLine() const;
    // Replaces all five fields from a site line; missing fields become empty.
    void SetLine(std::string_view line);
    std::unique_ptr<TbrmPwRec> Clone() const;

private:
    std::string FPassword;
    std::string FUserName;
    std::string FSiteName;
    std::string FURL;
    std::string FNotes; // escaped: never holds CR, LF or TAB
};

// The site name that a record given Line has, without making the record.
std::string_view SiteNameOfLine(std::string_view line);
// Whether a record given Line writes Line back unchanged.
bool IsWrittenLine(std::string_view line);

std::string EncodeNotes(std::string_view text);
std::string DecodeNotes(std::string_view text);

// Fields of Text separated by the byte Sep; N counts from 1.
int FieldCount(std::string_view text, char sep);
std::string FieldAt(int n, std::string_view text, char sep);

// The content of an archive: site lines kept sorted by the locale's comparison
// ignoring case, ties broken by the bytes, so only byte-identical lines are duplicates.
class TbrmPwList {
public:
    int Count() const { return static_cast<int>(FLines.size()); }
    void Clear();

    // Inserts the line at its sorted place and yields its index; a line already
    // held is not inserted again and the held one's index is yielded.
    int Add(std::string_view line);

    std::string_view Strings(int index) const;
    // The scratch record filled from line Index; valid until the next access.
    TbrmPwRec& Records(int index);

    // Replaces the content with the lines from the stream's position to its end.
    void LoadFromStream(TStream& stream);
    // The same for a whole text, which the list keeps without copying.
    void LoadFromText(std::string text);
    // Writes every line followed by CR LF at the stream's position.
    void SaveToStream(TStream& stream) const;

    // A list of the lines flagged in Kept (one flag per line) and the lines of Added
    // (a text as LoadFromText takes it), as loading all of them would give. It shares
    // this list's text, and costs a pass over the lines and a search per added line.
    std::unique_ptr<TbrmPwList> WithChanges(const std::vector<bool>& kept, std::string added) const;

private:
    static bool Precedes(std::string_view a, std::string_view b);
    void CheckIndex(int index) const;

    std::vector<std::string_view> FLines;
    // The bytes the entries point into; a block never moves once stored, and lists
    // made from this one share it.
    std::vector<std::shared_ptr<const std::string>> FBlocks;
    TbrmPwRec FScratch;
};
