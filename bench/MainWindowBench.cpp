// Times the main window on the offscreen platform against the companion, measured in
// the same run on the same sites. Each measure runs three times, ours and the peer's
// in turn; the fastest run counts.
//  - Opening an archive of 100,000 and of 1,000,000 sites: the window made with the
//    archive as its file argument, shown, the archive read, the site list filled and
//    painted. The peer: "sitevault-cli ls", which reads and lists the same sites.
//  - With the largest count opened the same way from an archive with a password, the
//    prompt answered: Save over the archive's file against "sitevault-cli create
//    --password-stdin" on the same site lines; adding, modifying and deleting one
//    site, each until the list is painted again; and the peak memory of a process
//    that only opens that archive, against the size of the site text.
//   mainwindow_bench [COUNT...]

#include "archive/ArchiveReader.h"
#include "archive/ArchiveWriter.h"
#include "dialogs/brmMsgDlg.h"
#include "model/Stream.h"
#include "settings/ApplicationTitle.h"
#include "settings/brmState.h"
#include "shell/CommandLine.h"
#include "shell/SiteListModel.h"
#include "services/UtilFuncs.h"
#include "shell/fmMain.h"
#include "services/globals.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int Rounds = 3;
const char* const MemberName = "Data";
const char* const Password = "bench password";
// The child mode: opens an archive (or none) in a fresh process and prints its peak memory.
const char* const OpenOnly = "--open-only";

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

[[noreturn]] void Fail(const std::string& what)
{
    std::fprintf(stderr, "%s\n", what.c_str());
    std::exit(1);
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

// The sites as the program saves them: sorted.
std::string SavedText(int count)
{
    TbrmPwList sites;
    sites.LoadFromText(SiteText(count));
    TMemoryStream text;
    sites.SaveToStream(text);
    return text.ReleaseBytes();
}

void WriteArchive(const std::string& path, const std::string& text, const std::string& password)
{
    TMemoryStream member(text);
    TArchiveWriter writer;
    writer.SetPassword(password);
    writer.SetFileName(path);
    writer.StoreMember(MemberName, member);
    writer.Close();
}

std::string ReadArchive(const std::string& path, const std::string& password)
{
    TArchiveReader reader;
    reader.SetPassword(password);
    reader.SetFileName(path);
    TMemoryStream text;
    reader.ExtractMember(MemberName, text);
    reader.Close();
    return text.ReleaseBytes();
}

template <typename Control>
Control& FindControl(QWidget& window, const char* name)
{
    auto* control = window.findChild<Control*>(name);
    if (control == nullptr)
        Fail(window.windowTitle().toStdString() + " has no " + name);
    return *control;
}

// Answers the next modal window from the first turn of the event loop that shows it,
// so that no figure holds a person's thinking time.
void AnswerNextModal(std::function<void(QWidget&)> answer)
{
    QTimer::singleShot(0, [answer = std::move(answer)]() mutable {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal->isVisible())
            answer(*modal);
        else
            AnswerNextModal(std::move(answer));
    });
}

void AnswerPasswordPrompt()
{
    AnswerNextModal([](QWidget& prompt) {
        FindControl<QLineEdit>(prompt, "edtPW").setText(Password);
        FindControl<QPushButton>(prompt, "btnOK").click();
    });
}

// Types a site into the site editor and presses OK.
void AnswerSiteEditor(const std::string& siteName)
{
    AnswerNextModal([siteName](QWidget& editor) {
        FindControl<QLineEdit>(editor, "edtSite").setText(QString::fromStdString(siteName));
        FindControl<QLineEdit>(editor, "edtUser").setText("bench user");
        FindControl<QLineEdit>(editor, "edtPW").setText("bench pw");
        FindControl<QPushButton>(editor, "btnOK").click();
    });
}

QListView& SiteListOf(TfrmMain& window)
{
    return FindControl<QListView>(window, "lbxSiteList");
}

// Runs what is pending, a changed list's layout among it, and paints the list.
void ShowChanges(TfrmMain& window)
{
    QApplication::processEvents();
    SiteListOf(window).viewport()->repaint();
}

// The window as the program makes it when started with the archive at Path (or with
// no file), shown until its list is painted; a password prompt is answered.
std::unique_ptr<TfrmMain> OpenWindow(const std::string& path, bool withPassword)
{
    SetCommandLineArguments(path.empty() ? std::vector<std::string> {} : std::vector<std::string> { path });
    if (withPassword)
        AnswerPasswordPrompt();
    auto window = std::make_unique<TfrmMain>();
    window->show();
    ShowChanges(*window);
    return window;
}

void ExpectSites(const TfrmMain& window, int count)
{
    if (window.SiteItems().Count() != count)
        Fail("the window shows " + std::to_string(window.SiteItems().Count()) + " sites, not " + std::to_string(count));
}

// Opens the archive as the program does when started with it, until the list is painted.
double TimeMainWindow(const std::string& path, int count)
{
    const auto start = Clock::now();
    auto window = OpenWindow(path, false);
    const double seconds = SecondsSince(start);
    ExpectSites(*window, count);
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
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        Fail(command + " failed");
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
    // Without a password, so that no prompt waits.
    WriteArchive(path, SavedText(count), "");
    Result result { count, 1e9, 1e9 };
    for (int round = 0; round < Rounds; ++round) {
        result.ours = std::min(result.ours, TimeMainWindow(path, count));
        result.peer = std::min(result.peer, TimeCommand(SITEVAULT_CLI " ls '" + path + "'"));
    }
    return result;
}

// The name of the selected site, or empty when none is selected.
std::string SelectedSite(TfrmMain& window)
{
    const QModelIndexList rows = SiteListOf(window).selectionModel()->selectedRows();
    return rows.isEmpty() ? std::string() : window.SiteItems().Record(rows.first().row()).SiteName();
}

// Runs a command of the window until the list shows its outcome.
double TimeUntilPainted(TfrmMain& window, const std::function<void()>& command)
{
    const auto start = Clock::now();
    command();
    ShowChanges(window);
    return SecondsSince(start);
}

// A site is added, renamed and deleted again, so each round leaves the sites as they
// were. Its names sort before every other site's: each change moves the whole list.
const char* const AddedSite = "0 bench site";
const char* const RenamedSite = "0 bench site renamed";

double TimeAdd(TfrmMain& window)
{
    const int count = window.SiteItems().Count();
    AnswerSiteEditor(AddedSite);
    const double seconds = TimeUntilPainted(window, [&] { window.mmiAddClick(); });
    ExpectSites(window, count + 1);
    if (SelectedSite(window) != AddedSite)
        Fail("the added site is not the selected one");
    return seconds;
}

double TimeModify(TfrmMain& window)
{
    AnswerSiteEditor(RenamedSite);
    const double seconds = TimeUntilPainted(window, [&] { window.mmiModifyClick(); });
    if (SelectedSite(window) != RenamedSite)
        Fail("the modified site is not the selected one");
    return seconds;
}

double TimeDelete(TfrmMain& window)
{
    const int count = window.SiteItems().Count();
    TScriptedDialogs script;
    script.answers = { AnswerYes };
    ScriptDialogs(&script);
    const double seconds = TimeUntilPainted(window, [&] { window.mmiDeleteClick(); });
    ScriptDialogs(nullptr);
    ExpectSites(window, count - 1);
    return seconds;
}

double TimeSave(TfrmMain& window)
{
    const auto start = Clock::now();
    window.mmiFileSaveClick();
    const double seconds = SecondsSince(start);
    if (window.Modified())
        Fail("the window still holds changes after Save");
    return seconds;
}

long PeakResidentKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + std::strlen("VmHWM:"));
    Fail("no VmHWM in /proc/self/status");
}

// The child mode's work: the window opened with Path (none when empty), then its peak.
int PrintPeakOfOpening(const std::string& path)
{
    auto window = OpenWindow(path, !path.empty());
    std::printf("%ld\n", PeakResidentKilobytes());
    return 0;
}

// The peak memory of a fresh process that only opens the archive at Path, so that
// nothing measured before counts.
double PeakOfOpening(const std::string& folder, const std::string& path)
{
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string command = "'" + self + "' " + OpenOnly + " '" + folder + "' '" + path + "' 2>/dev/null";
    FILE* child = ::popen(command.c_str(), "r");
    long kilobytes = 0;
    const bool read = child != nullptr && std::fscanf(child, "%ld", &kilobytes) == 1;
    if (child == nullptr || ::pclose(child) != 0 || !read)
        Fail(command + " failed");
    return kilobytes * 1024.0;
}

struct DocumentResult {
    double save = 1e9;
    double create = 1e9;
    double add = 1e9;
    double modify = 1e9;
    double remove = 1e9;
    double peak = 0;
    double emptyPeak = 0;
    std::size_t textSize = 0;
};

DocumentResult MeasureDocument(const std::filesystem::path& folder, int count)
{
    const std::string archive = (folder / "document.zip").string();
    const std::string textFile = (folder / "document.txt").string();
    const std::string text = SavedText(count);
    WriteArchive(archive, text, Password);
    std::ofstream(textFile, std::ios::binary) << text;
    const std::string create = std::string("echo '") + Password + "' | " SITEVAULT_CLI " create '"
        + (folder / "peer.zip").string() + "' --from '" + textFile + "' --password-stdin";

    DocumentResult result;
    result.textSize = text.size();
    auto window = OpenWindow(archive, true);
    ExpectSites(*window, count);
    for (int round = 0; round < Rounds; ++round) {
        result.add = std::min(result.add, TimeAdd(*window));
        result.modify = std::min(result.modify, TimeModify(*window));
        result.remove = std::min(result.remove, TimeDelete(*window));
        result.save = std::min(result.save, TimeSave(*window));
        result.create = std::min(result.create, TimeCommand(create));
    }
    window.reset();
    if (ReadArchive(archive, Password) != text)
        Fail("the saved archive does not hold the sites it was opened with");

    result.peak = PeakOfOpening(folder.string(), archive);
    result.emptyPeak = PeakOfOpening(folder.string(), "");
    return result;
}

void ReportDocument(const DocumentResult& result, int count)
{
    const double mebibyte = 1024.0 * 1024.0;
    const double ratio = result.save / result.create;
    const double peakRatio = result.peak / static_cast<double>(result.textSize);
    const double slowest = std::max({ result.add, result.modify, result.remove });
    std::printf("main window benchmark: %d sites (%.1f MiB of text) open with a password\n", count,
        result.textSize / mebibyte);
    std::printf("save        %7.3f s   sitevault-cli create %7.3f s   ratio %.2f\n", result.save, result.create, ratio);
    std::printf("add %.1f ms   modify %.1f ms   delete %.1f ms   (each until the list is painted)\n",
        result.add * 1000, result.modify * 1000, result.remove * 1000);
    std::printf("peak memory of opening %.1f MiB = %.2f x text   (of the window without sites %.1f MiB)\n",
        result.peak / mebibyte, peakRatio, result.emptyPeak / mebibyte);
    const auto met = [](bool goal) { return goal ? "met" : "NOT met"; };
    std::printf("goals: save at 1.3 x create or below (%s), add, modify and delete each under 50 ms (%s), "
                "peak under 2 x text (%s)\n",
        met(ratio <= 1.3), met(slowest < 0.050), met(peakRatio < 2.0));
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const bool openOnly = argc == 4 && std::strcmp(argv[1], OpenOnly) == 0;
    std::vector<int> counts;
    for (int i = 1; i < argc && !openOnly; ++i)
        counts.push_back(std::atoi(argv[i]));
    if (counts.empty())
        counts = { 100000, 1000000 };

    const std::filesystem::path folder = openOnly
        ? std::filesystem::path(argv[2])
        : std::filesystem::temp_directory_path() / ("sitevault-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    // The program's own product files; the settings go to the run's own folder.
    OverrideProgramFolder(SITEVAULT_BIN_DIR);
    SetApplicationTitle(ReadConfigFile().Value("SYSTEM", "Name"));
    PointStateStoreAt(folder.string());
    if (openOnly)
        return PrintPeakOfOpening(argv[3]);

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
    std::fflush(stdout);

    const int largest = *std::max_element(counts.begin(), counts.end());
    ReportDocument(MeasureDocument(folder, largest), largest);
    std::filesystem::remove_all(folder);
    return 0;
}
