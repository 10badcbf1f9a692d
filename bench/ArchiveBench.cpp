// Times the companion against Info-ZIP on a 1,000,000-site archive with a password:
// "sitevault-cli cat" against "unzip -p -P", and "sitevault-cli create" against
// "zip -P" on the same text, with the peak memory of our runs. Each command runs
// three times, ours and the peer's in turn; the fastest run counts.
//   archive_bench [COUNT]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Measure {
    double seconds;
    long peakKilobytes;
    int exit;
};

// Runs a shell command with standard output thrown away.
Measure Time(const std::string& command)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::execl("/bin/sh", "sh", "-c", (command + " >/dev/null").c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    rusage usage {};
    ::wait4(child, &status, 0, &usage);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return { seconds, usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : -1 };
}

std::string SiteText(int count)
{
    std::mt19937 generator(42);
    std::string text;
    for (int i = 0; i < count; ++i) {
        const std::string number = std::to_string(1000000 + i);
        text += "Site " + number + "=user" + number + "@mail.example\tPw" + std::to_string(generator())
            + "\thttps://site" + number + ".example/login\tnote " + number + "\r\n";
    }
    return text;
}

constexpr int Rounds = 3;

// The fastest of the runs, with the highest peak and the first failing exit.
Measure Best(const Measure& a, const Measure& b)
{
    return { std::min(a.seconds, b.seconds), std::max(a.peakKilobytes, b.peakKilobytes), a.exit != 0 ? a.exit : b.exit };
}

void Report(const char* what, const Measure& ours, const Measure& peer, std::size_t textSize)
{
    std::printf("%-8s ours %7.3f s (exit %d, peak %.1f MiB = %.2f x text)   peer %7.3f s   ratio %.2f\n", what,
        ours.seconds, ours.exit, ours.peakKilobytes / 1024.0, ours.peakKilobytes * 1024.0 / textSize, peer.seconds,
        ours.seconds / peer.seconds);
}

} // namespace

int main(int argc, char* argv[])
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("sitevault-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string text = SiteText(count);
    std::ofstream((folder / "Data").string(), std::ios::binary) << text;
    const std::string cli = SITEVAULT_CLI;
    const std::string in = "cd '" + folder.string() + "' && ";

    Measure ourCreate { 1e9, 0, 0 };
    Measure peerCreate { 1e9, 0, 0 };
    Measure ourCat { 1e9, 0, 0 };
    Measure peerCat { 1e9, 0, 0 };
    for (int round = 0; round < Rounds; ++round) {
        ourCreate = Best(ourCreate, Time(in + "echo benchpw | " + cli + " create ours.zip --from Data --password-stdin"));
        peerCreate = Best(peerCreate, Time(in + "rm -f peer.zip && zip -q -P benchpw peer.zip Data"));
        ourCat = Best(ourCat, Time(in + "echo benchpw | " + cli + " cat ours.zip --password-stdin"));
        peerCat = Best(peerCat, Time(in + "unzip -p -P benchpw ours.zip Data"));
    }

    std::printf("archive benchmark, %d sites (%zu bytes of text)\n", count, text.size());
    Report("create", ourCreate, peerCreate, text.size());
    Report("cat", ourCat, peerCat, text.size());
    std::printf("sizes: ours %ju bytes, peer %ju bytes\n", static_cast<std::uintmax_t>(std::filesystem::file_size(folder / "ours.zip")),
        static_cast<std::uintmax_t>(std::filesystem::file_size(folder / "peer.zip")));
    const auto met = [](bool goal) { return goal ? "met" : "NOT met"; };
    const double peakRatio = std::max(ourCreate.peakKilobytes, ourCat.peakKilobytes) * 1024.0 / text.size();
    std::printf("goals: create no slower than zip (%s), cat no slower than unzip (%s), peak < 2.5 x text (%s)\n",
        met(ourCreate.seconds <= peerCreate.seconds), met(ourCat.seconds <= peerCat.seconds), met(peakRatio < 2.5));
    std::filesystem::remove_all(folder);
    return ourCreate.exit == 0 && ourCat.exit == 0 ? 0 : 1;
}
