#include "shell/SessionEnd.h"

#include "CommandFixture.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

namespace {

const std::string SaveQuestion = "Confirm: The current archive has been modified.  Save changes?";

// Runs the event loop until Done holds, for Milliseconds at most.
bool WaitUntil(const std::function<bool()>& done, int milliseconds = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// Time enough for a request to arrive that is not expected to.
constexpr int QuietMilliseconds = 300;

// A shown main window with unsaved changes, ended from outside.
class SessionEnd : public CommandFixture {
protected:
    void SetUp() override
    {
        CommandFixture::SetUp();
        OpenSites("Mail=joe\tpw\t\t\r\n");
        window->SetModified(true);
    }

    bool Closed() const { return !window->isVisible(); }
};

class TerminationSignal : public SessionEnd, public testing::WithParamInterface<int> {};

TEST_P(TerminationSignal, AsksTheSaveQuestionAndClosesTheWindow)
{
    const TSessionEnd sessionEnd(*window);
    script.answers = { AnswerNo };
    std::raise(GetParam());
    EXPECT_FALSE(Closed()) << "nothing happens inside the handler";
    EXPECT_TRUE(WaitUntil([this] { return Closed(); }));
    EXPECT_EQ(script.shown, (std::vector<std::string> { SaveQuestion }));
}

INSTANTIATE_TEST_SUITE_P(EachSignal, TerminationSignal, testing::Values(SIGTERM, SIGHUP, SIGINT));

TEST_F(SessionEnd, ASignalWhoseWantedSaveDidNotHappenKeepsTheWindowUntilTheNext)
{
    const TSessionEnd sessionEnd(*window);
    script.answers = { AnswerYes };
    script.fileNames = { "" };
    std::raise(SIGTERM);
    WaitUntil([this] { return script.answers.empty() && script.fileNames.empty(); });
    EXPECT_FALSE(WaitUntil([this] { return Closed(); }, QuietMilliseconds)) << "the save chooser was cancelled";
    EXPECT_EQ(window->SiteItems().Count(), 1);

    script.answers = { AnswerNo };
    std::raise(SIGTERM);
    EXPECT_TRUE(WaitUntil([this] { return Closed(); }));
}

TEST_F(SessionEnd, ASignalWaitsForTheOpenModalWindow)
{
    const TSessionEnd sessionEnd(*window);
    script.answers = { AnswerNo };
    QDialog dialog(window.get());
    bool closedUnderTheDialog = true;
    QTimer::singleShot(0, [] { std::raise(SIGTERM); });
    QTimer::singleShot(QuietMilliseconds, [&] {
        closedUnderTheDialog = Closed();
        dialog.reject();
    });
    dialog.exec();
    EXPECT_FALSE(closedUnderTheDialog);
    EXPECT_TRUE(script.shown.empty()) << "no question while the dialog was open";
    EXPECT_TRUE(WaitUntil([this] { return Closed(); }));
    EXPECT_EQ(script.shown, (std::vector<std::string> { SaveQuestion }));
}

TEST_F(SessionEnd, ASignalAfterTheWindowClosedIsDropped)
{
    const TSessionEnd sessionEnd(*window);
    script.answers = { AnswerNo };
    window->close();
    std::raise(SIGTERM);
    WaitUntil([] { return false; }, QuietMilliseconds);
    EXPECT_EQ(script.shown, (std::vector<std::string> { SaveQuestion })) << "asked once, by the close itself";
}

TEST_F(SessionEnd, CommitDataAsksTheCloseQuestionWithoutClosing)
{
    struct Case {
        const char* name;
        bool mayInteract;
        bool modified;
        std::deque<int> answers;
        std::deque<std::string> fileNames;
        bool endGoesOn;
        bool asked;
        bool modifiedAfter;
    };
    const std::string archive = program.File("sites.zip");
    const Case cases[] = {
        { "declined", true, true, { AnswerNo }, {}, true, true, true },
        { "saved", true, true, { AnswerYes }, { archive }, true, true, false },
        { "save chooser cancelled", true, true, { AnswerYes }, { "" }, false, true, true },
        { "no interaction allowed", false, true, {}, {}, true, false, true },
        { "nothing to save", true, false, {}, {}, true, false, false },
    };
    for (const Case& c : cases) {
        TSessionEnd sessionEnd(*window);
        window->SetArchivePath("");
        window->SetModified(c.modified);
        script = { c.answers, c.fileNames, {} };
        EXPECT_EQ(sessionEnd.AnswerCommitData(c.mayInteract), c.endGoesOn) << c.name;
        EXPECT_EQ(script.shown.size() >= 1 && script.shown.front() == SaveQuestion, c.asked) << c.name;
        EXPECT_EQ(window->Modified(), c.modifiedAfter) << c.name;
        EXPECT_TRUE(window->isVisible()) << c.name << ": the session closes the window when it ends";
    }
    EXPECT_TRUE(std::filesystem::exists(archive));
}

TEST_F(SessionEnd, TheSessionsQuitAfterTheQuestionClosesWithoutAskingAgain)
{
    TSessionEnd sessionEnd(*window);
    script.answers = { AnswerNo };
    ASSERT_TRUE(sessionEnd.AnswerCommitData(true));
    QTimer safety;
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    safety.start(5000);
    QTimer::singleShot(0, [] {
        QEvent quit(QEvent::Quit);
        QCoreApplication::sendEvent(qApp, &quit);
    });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(Closed());
    EXPECT_EQ(script.shown, (std::vector<std::string> { SaveQuestion }));
}

// Whether the process has its own handler for Signal yet (Linux shows it in the
// mask of caught signals).
bool CatchesSignal(qint64 pid, int signal)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("SigCgt:", 0) == 0)
            return (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1) & 1) != 0;
    return false;
}

TEST(ProgramEnd, SigtermEndsTheProgramNormallyWithItsSettingsWritten)
{
    const TemporaryFolder settings;
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("XDG_CONFIG_HOME", QString::fromStdString(settings.Path()));
    program.setProcessEnvironment(environment);
    program.start(SITEVAULT_BIN_DIR "/sitevault", {});
    ASSERT_TRUE(program.waitForStarted());
    QElapsedTimer clock;
    clock.start();
    while (!CatchesSignal(program.processId(), SIGTERM) && clock.elapsed() < 30000)
        QThread::msleep(20);
    ASSERT_TRUE(CatchesSignal(program.processId(), SIGTERM)) << program.readAllStandardError().toStdString();

    program.terminate();
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    std::ifstream stored(settings.File("sitevault/user-registry.reg"));
    const std::string text((std::istreambuf_iterator<char>(stored)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("\"TfrmMain\"=\"0 "), std::string::npos) << text;
}

} // namespace
