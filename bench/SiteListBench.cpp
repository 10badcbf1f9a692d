// Loads and saves a site list of 1,000,000 synthetic sites and prints the times.
// The peers, measured in the same run: a plain byte sort of the same lines (the least
// any sorted load costs) and one copy of the saved text into fresh memory (the least
// any save into memory costs).
//   sitelist_bench [COUNT]

#include "model/brmPW.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> SyntheticLines(int count)
{
    std::mt19937 generator(20261210);
    std::uniform_int_distribution<int> letter(0, 25);
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        std::string name;
        for (int k = 0; k < 8; ++k)
            name += static_cast<char>((k % 3 == 0 ? 'A' : 'a') + letter(generator));
        lines.push_back(name + " " + std::to_string(i) + "=user" + std::to_string(i % 977) + "@mail.example\tPw"
            + std::to_string(generator()) + "\thttps://" + name + ".example/login\tnote\\nline " + std::to_string(i));
    }
    return lines;
}

std::string TextOf(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text.append(line).append("\r\n");
    return text;
}

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double TimeLoad(TbrmPwList& list, const std::string& text)
{
    TMemoryStream stream(text);
    const auto start = Clock::now();
    list.LoadFromStream(stream);
    return SecondsSince(start);
}

double TimeByteSortPeer(std::vector<std::string> lines)
{
    const auto start = Clock::now();
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    return SecondsSince(start);
}

double TimeFreshCopyPeer(const std::string& text)
{
    const auto start = Clock::now();
    std::string copy;
    copy.reserve(text.size());
    copy.append(text);
    const double seconds = SecondsSince(start);
    return copy.size() == text.size() ? seconds : 0;
}

void Report(const char* what, double seconds, int count)
{
    std::printf("%-28s %8.3f s  %8.1f ns/line\n", what, seconds, seconds * 1e9 / count);
}

} // namespace

int main(int argc, char* argv[])
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000000;
    std::vector<std::string> lines = SyntheticLines(count);
    std::shuffle(lines.begin(), lines.end(), std::mt19937(7));
    const std::string randomText = TextOf(lines);

    TbrmPwList list;
    const double loadRandom = TimeLoad(list, randomText);

    TMemoryStream saved;
    const auto saveStart = Clock::now();
    list.SaveToStream(saved);
    const double save = SecondsSince(saveStart);

    TbrmPwList sortedList;
    const double loadSorted = TimeLoad(sortedList, saved.Bytes());
    const double peer = TimeByteSortPeer(lines);
    const double copyPeer = TimeFreshCopyPeer(saved.Bytes());

    std::printf("site list benchmark, %d lines (%zu bytes)\n", count, randomText.size());
    Report("load, random order", loadRandom, count);
    Report("load, sorted order", loadSorted, count);
    Report("save", save, count);
    Report("peer: byte sort of lines", peer, count);
    Report("peer: copy of the text", copyPeer, count);
    std::printf("ratio load random / sort     %8.2f\n", loadRandom / peer);
    std::printf("ratio save / copy            %8.2f\n", save / copyPeer);
    std::printf("ratio load sorted / random   %8.2f\n", loadSorted / loadRandom);
    std::printf("goals: load < 2 s (%s), save < 0.3 s (%s), sorted no slower than random (%s)\n",
        loadRandom < 2.0 ? "met" : "missed", save < 0.3 ? "met" : "missed",
        loadSorted <= loadRandom * 1.05 ? "met" : "missed");
    return list.Count() == count && sortedList.Count() == count ? 0 : 1;
}
