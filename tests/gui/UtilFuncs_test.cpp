#include "services/UtilFuncs.h"

#include <QCursor>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QObject>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

bool HourglassShown()
{
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor != nullptr && cursor->shape() == Qt::WaitCursor;
}

TEST(UtilFuncs, AddBackslashAppendsThePathSeparatorOnce)
{
    EXPECT_EQ(AddBackslash("/opt/app"), "/opt/app/");
    EXPECT_EQ(AddBackslash("/opt/app/"), "/opt/app/");
    EXPECT_EQ(AddBackslash("/"), "/");
}

TEST(UtilFuncs, ConfigFileNameLiesInTheProgramFolder)
{
    OverrideProgramFolder("/opt/sitevault");
    EXPECT_EQ(ConfigFileName(), "/opt/sitevault/vezozivi.dll");
}

TEST(UtilFuncs, InvertLineComplementsEveryByte)
{
    EXPECT_EQ(InvertLine(std::string("\x00\xFF\x0D\x0A" "A", 5)), std::string("\xFF\x00\xF2\xF5\xBE", 5));
    const std::string line = "[SYSTEM] Name=\xC3\xA9\x7F";
    EXPECT_EQ(InvertLine(InvertLine(line)), line);
    EXPECT_EQ(InvertLine(""), "");
}

TEST(UtilFuncs, BusyCursorNests)
{
    BeginBusy();
    BeginBusy();
    EXPECT_TRUE(HourglassShown());
    EndBusy();
    EXPECT_TRUE(HourglassShown());
    EndBusy();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EndBusy();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    BeginBusy();
    EXPECT_TRUE(HourglassShown()) << "a surplus EndBusy must not be remembered";
    EndBusy();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// Stands in for the desktop's opener for one scheme.
class LinkOpener : public QObject {
    Q_OBJECT

public:
    QUrl opened;
    bool busyWhileOpening = false;

public slots:
    void open(const QUrl& url)
    {
        opened = url;
        busyWhileOpening = HourglassShown();
    }
};

TEST(UtilFuncs, OpenLinkHandsTheLinkToTheDesktopUnderTheBusyCursor)
{
    LinkOpener opener;
    QDesktopServices::setUrlHandler("https", &opener, "open");
    OpenLink("https://example.org/guide?a=1#how-tos");
    QDesktopServices::unsetUrlHandler("https");
    EXPECT_EQ(opener.opened, QUrl("https://example.org/guide?a=1#how-tos"));
    EXPECT_TRUE(opener.busyWhileOpening);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

} // namespace

#include "UtilFuncs_test.moc"
