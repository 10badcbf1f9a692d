#include "model/brmPW.h"

#include "model/CollatedSort.h"
#include "model/TextLines.h"
#include "platform/AppError.h"
#include "platform/TextCompare.h"

#include <algorithm>

namespace {

constexpr char Tab = '\t';

// Sorted lines lie scattered over the loaded text; fetching a few lines ahead
// hides the memory latency when they are written out in order.
constexpr std::size_t PrefetchDistance = 16;

void Prefetch(const char* address)
{
#if defined(__GNUC__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

std::string_view LineText(std::string_view line)
{
    return line;
}

// Lines the locale counts as equal are ordered by their bytes, so only byte-identical
// lines are duplicates.
bool ByBytes(std::string_view a, std::string_view b)
{
    return a < b;
}

std::string RemoveCarriageReturns(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (char c : text)
        if (c != '\r')
            result += c;
    return result;
}

} // namespace

std::string EncodeNotes(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (char c : RemoveCarriageReturns(text)) {
        switch (c) {
        case '\\': result += "\\\\"; break;
        case '\n': result += "\\n"; break;
        case '\t': result += "\\t"; break;
        default: result += c;
        }
    }
    return result;
}

std::string DecodeNotes(std::string_view text)
{
    const std::string plain = RemoveCarriageReturns(text);
    std::string result;
    result.reserve(plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i) {
        const char next = i + 1 < plain.size() ? plain[i + 1] : '\0';
        if (plain[i] == '\\' && (next == '\\' || next == 'n' || next == 'N' || next == 't' || next == 'T')) {
            result += next == '\\' ? "\\" : (next == 't' || next == 'T') ? "\t" : "\r\n";
            ++i;
        } else if (plain[i] == '\n') {
            result += "\r\n";
        } else {
            result += plain[i];
        }
    }
    return result;
}

int FieldCount(std::string_view text, char sep)
{
    return static_cast<int>(std::count(text.begin(), text.end(), sep)) + 1;
}

std::string FieldAt(int n, std::string_view text, char sep)
{
    if (n < 1)
        return std::string();
    std::size_t start = 0;
    for (int field = 1; field < n; ++field) {
        start = text.find(sep, start);
        if (start == std::string_view::npos)
            return std::string();
        ++start;
    }
    const std::size_t end = text.find(sep, start);
    return std::string(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

std::string TbrmPwRec::Notes() const
{
    return DecodeNotes(FNotes);
}

void TbrmPwRec::SetPassword(std::string_view value) { FPassword = TrimBlanks(value); }
void TbrmPwRec::SetUserName(std::string_view value) { FUserName = TrimBlanks(value); }
void TbrmPwRec::SetSiteName(std::string_view value) { FSiteName = TrimBlanks(value); }
void TbrmPwRec::SetURL(std::string_view value) { FURL = TrimBlanks(value); }
void TbrmPwRec::SetNotes(std::string_view value) { FNotes = EncodeNotes(TrimBlanks(value)); }

std::string TbrmPwRec::GetLine() const
{
    std::string line;
    line.reserve(FSiteName.size() + FUserName.size() + FPassword.size() + FURL.size() + FNotes.size() + 4);
    line.append(FSiteName).append(1, '=').append(FUserName).append(1, Tab).append(FPassword);
    line.append(1, Tab).append(FURL).append(1, Tab).append(FNotes);
    return line;
}

std::string_view SiteNameOfLine(std::string_view line)
{
    const std::size_t equals = line.find('=');
    return equals == std::string_view::npos ? std::string_view() : TrimBlanks(line.substr(0, equals));
}

bool IsWrittenLine(std::string_view line)
{
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return false;
    const auto untrimmed = [](std::string_view field) { return TrimBlanks(field).size() == field.size(); };
    if (!untrimmed(line.substr(0, equals)))
        return false;
    // User name, password and address are trimmed; the notes, the fourth field, are kept as stored.
    std::string_view rest = line.substr(equals + 1);
    for (int field = 1; field <= 3; ++field) {
        const std::size_t tab = rest.find(Tab);
        if (tab == std::string_view::npos || !untrimmed(rest.substr(0, tab)))
            return false;
        rest.remove_prefix(tab + 1);
    }
    return rest.find(Tab) == std::string_view::npos;
}

void TbrmPwRec::SetLine(std::string_view line)
{
    const std::size_t equals = line.find('=');
    const std::string_view rest = equals == std::string_view::npos ? line : line.substr(equals + 1);
    SetSiteName(SiteNameOfLine(line));
    SetUserName(FieldAt(1, rest, Tab));
    SetPassword(FieldAt(2, rest, Tab));
    SetURL(FieldAt(3, rest, Tab));
    FNotes = FieldAt(4, rest, Tab);
}

std::unique_ptr<TbrmPwRec> TbrmPwRec::Clone() const
{
    auto copy = std::make_unique<TbrmPwRec>();
    copy->SetLine(GetLine());
    return copy;
}

bool TbrmPwList::Precedes(std::string_view a, std::string_view b)
{
    return CollatedPrecedes(a, b, LineText, ByBytes);
}

void TbrmPwList::Clear()
{
    FLines.clear();
    FBlocks.clear();
}

int TbrmPwList::Add(std::string_view line)
{
    int lo = 0;
    int hi = Count() - 1;
    bool found = false;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        if (Precedes(FLines[static_cast<std::size_t>(mid)], line)) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (!Precedes(line, FLines[static_cast<std::size_t>(mid)])) {
                found = true;
                lo = mid;
            }
        }
    }
    if (!found) {
        const std::string& stored = *FBlocks.emplace_back(std::make_shared<const std::string>(line));
        FLines.insert(FLines.begin() + lo, stored);
    }
    return lo;
}

void TbrmPwList::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw AppError("List index out of bounds (" + std::to_string(index) + ")");
}

std::string_view TbrmPwList::Strings(int index) const
{
    CheckIndex(index);
    return FLines[static_cast<std::size_t>(index)];
}

TbrmPwRec& TbrmPwList::Records(int index)
{
    FScratch.SetLine(Strings(index));
    return FScratch;
}

void TbrmPwList::LoadFromStream(TStream& stream)
{
    LoadFromText(stream.ReadToEnd());
}

void TbrmPwList::LoadFromText(std::string text)
{
    Clear();
    const std::string& held = *FBlocks.emplace_back(std::make_shared<const std::string>(std::move(text)));
    FLines = SplitTextLines(held);
    try {
        SortCollated(FLines, LineText, ByBytes);
    } catch (...) {
        Clear();
        throw;
    }
    FLines.erase(std::unique(FLines.begin(), FLines.end()), FLines.end());
}

std::unique_ptr<TbrmPwList> TbrmPwList::WithChanges(const std::vector<bool>& kept, std::string added) const
{
    TbrmPwList extra;
    extra.LoadFromText(std::move(added));
    // Where each added line goes among all of this list's lines, kept or not.
    std::vector<std::size_t> places(extra.FLines.size());
    for (std::size_t i = 0; i < places.size(); ++i)
        places[i] = static_cast<std::size_t>(
            std::lower_bound(FLines.begin(), FLines.end(), extra.FLines[i], Precedes) - FLines.begin());

    auto merged = std::make_unique<TbrmPwList>();
    merged->FBlocks = FBlocks;
    merged->FBlocks.insert(merged->FBlocks.end(), extra.FBlocks.begin(), extra.FBlocks.end());
    std::vector<std::string_view>& lines = merged->FLines;
    lines.reserve(static_cast<std::size_t>(std::count(kept.begin(), kept.end(), true)) + places.size());
    // An added line equal to a kept one lands right before it, so duplicates meet.
    const auto append = [&](std::string_view line) {
        if (lines.empty() || lines.back() != line)
            lines.push_back(line);
    };
    std::size_t next = 0;
    for (std::size_t i = 0; i < FLines.size(); ++i) {
        for (; next < places.size() && places[next] == i; ++next)
            append(extra.FLines[next]);
        if (kept.at(i))
            append(FLines[i]);
    }
    for (; next < places.size(); ++next)
        append(extra.FLines[next]);
    return merged;
}

void TbrmPwList::SaveToStream(TStream& stream) const
{
    // Written through a bounded buffer, so the text is never held twice.
    constexpr std::size_t bufferSize = 1 << 16;
    std::uint64_t total = 0;
    for (const std::string_view line : FLines)
        total += line.size() + 2;
    stream.Reserve(total);
    std::string buffer;
    buffer.reserve(bufferSize);
    for (std::size_t i = 0; i < FLines.size(); ++i) {
        const std::string_view line = FLines[i];
        if (i + PrefetchDistance < FLines.size())
            Prefetch(FLines[i + PrefetchDistance].data());
        if (buffer.size() + line.size() + 2 > bufferSize && !buffer.empty()) {
            stream.WriteBytes(buffer);
            buffer.clear();
        }
        buffer.append(line).append("\r\n");
    }
    stream.WriteBytes(buffer);
}
