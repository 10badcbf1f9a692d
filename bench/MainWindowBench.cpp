// Times opening an archive of 100,000 and of 1,000,000 sites into the main window on
// the offscreen platform: the window made with the archive as its file argument,
// shown, the archive read, the site list filled and painted. The peer, measured in
// the same run on the same file: "sitevault-cli ls", which reads and lists the same
// sites. Each measure runs three times, ours and the peer's in turn; the fastest
// run counts.
//   mainwindow_bench [COUNT...]

#include "archive/ArchiveWriter.h"
#include "model/Stream.h"
#include "settings/ApplicationTitle.h"
#include "settings/brmState.h"
#include "shell/CommandLine.h"
#include "shell/SiteListModel.h"
#include "services/UtilFuncs.h"
#include "shell/fmMain.h"
#include "services/globals.h"

#include <QApplication>
#include <QListView>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int Rounds = 3;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Sites in no particular order, as a user's archive holds them before its first save.
std::string SiteText(int count)
{
    std::mt19937 generator(20261210);
    std::uniform_int_distribution<int> letter(0, 25);
    std::string text;
    for (int i = 0; i < count; ++i) {
        std::string name;
        for (int k = 0; k < 8; ++k)
            name += static_cast<char>((k % 3 == 0 ? 'A' : 'a') + letter(generator));
        text += name + " " + std::to_string(i) + "=user" + std::to_string(i % 977) + "@mail.example\tPw"
            + std::to_string(generator()) + "\thttps://" + name + ".example/login\tnote " + std::to_string(i) + "\r\n";
    }
    return text;
}

// An archive as the program saves it, the sites sorted; without a password, so that
// no prompt waits for a person.
void WriteArchive(const std::string& path, int count)
{
    TbrmPwList sites;
    sites.LoadFromText(SiteText(count));
    TMemoryStream text;
    sites.SaveToStream(text);
    text.SetPosition(0);
    TArchiveWriter writer;
    writer.SetFileName(path);
    writer.StoreMember("Data", text);
    writer.Close();
}

// Opens the archive as the program does when started with it, until the list is painted.
double TimeMainWindow(const std::string& path, int count)
{
    SetCommandLineArguments({ path });
    const auto start = Clock::now();
    auto window = std::make_unique<TfrmMain>();
    window->show();
    QApplication::processEvents();
    window->findChild<QListView*>("lbxSiteList")->viewport()->repaint();
    const double seconds = SecondsSince(start);
    if (window->SiteItems().Count() != count) {
        std::fprintf(stderr, "the window shows %d sites, not %d\n", window->SiteItems().Count(), count);
        std::exit(1);
    }
    window->SetModified(false);
    window.reset();
    return seconds;
}

double TimeCommand(const std::string& command)
{
    const auto start = Clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::execl("/bin/sh", "sh", "-c", (command + " >/dev/null").c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed\n", command.c_str());
        std::exit(1);
    }
    return SecondsSince(start);
}

struct Result {
    int count;
    double ours;
    double peer;
};

Result Measure(const std::filesystem::path& folder, int count)
{
    const std::string path = (folder / ("sites-" + std::to_string(count) + ".zip")).string();
    WriteArchive(path, count);
    Result result { count, 1e9, 1e9 };
    for (int round = 0; round < Rounds; ++round) {
        result.ours = std::min(result.ours, TimeMainWindow(path, count));
        result.peer = std::min(result.peer, TimeCommand(SITEVAULT_CLI " ls '" + path + "'"));
    }
    return result;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i)
        counts.push_back(std::atoi(argv[i]));
    if (counts.empty())
        counts = { 100000, 1000000 };

    const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("sitevault-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    // The program's own product files; the settings go to the run's own folder.
    OverrideProgramFolder(SITEVAULT_BIN_DIR);
    SetApplicationTitle(ReadConfigFile().Value("SYSTEM", "Name"));
    PointStateStoreAt(folder.string());

    std::printf("main window benchmark: open an archive into the window (load, fill, show)\n");
    bool met = true;
    for (const int count : counts) {
        const Result result = Measure(folder, count);
        const double ratio = result.ours / result.peer;
        std::printf("%8d sites   window %7.3f s   sitevault-cli ls %7.3f s   ratio %.2f\n", result.count, result.ours,
            result.peer, ratio);
        met = met && ratio <= 1.5 && (count != 100000 || result.ours < 1.0);
    }
    std::printf("goals: ratio at 1.5 or below, 100,000 sites under 1 s (%s)\n", met ? "met" : "NOT met");
    std::filesystem::remove_all(folder);
    return 0;
}
