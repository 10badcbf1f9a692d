#include "settings/brmState.h"

#include "ScratchFolder.h"
#include "platform/AppError.h"
#include "platform/ProfileFile.h"
#include "platform/UserRegistry.h"
#include "settings/ApplicationTitle.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// Every test starts with no store, a title of its own and both forms in a scratch folder.
class StateStore : public testing::Test {
protected:
    void SetUp() override
    {
        TbrmState::Release();
        SetApplicationTitle("Vault Test");
        PointStateStoreAt(Folder());
    }
    void TearDown() override
    {
        TbrmState::Release();
        PointStateStoreAt(std::nullopt);
        SetApplicationTitle("");
    }

    static std::vector<std::string> NamesOf(const TbrmState& state)
    {
        std::vector<std::string> names;
        for (int i = 0; i < state.Count(); ++i)
            names.push_back(state.Names(i));
        return names;
    }

    std::string Folder() const { return std::filesystem::path(folder.File("x")).parent_path().string(); }
    std::string Ini() const { return StateIniFileName(); }
    std::string Section() const { return "Vault Test"; }
    std::unique_ptr<TRegistryKey> Key() const { return TRegistryKey::OpenForWriting("Software\\Vault Test"); }

    ScratchFolder folder;
};

using Names = std::vector<std::string>;

TEST_F(StateStore, OnlyTheAccessorConstructsTheOneStore)
{
    const auto message = [] {
        try {
            TbrmState direct;
        } catch (const AppError& error) {
            return std::string(error.what());
        }
        return std::string("constructed");
    };
    EXPECT_EQ(message(), "use State accessor function") << "refused before any store exists";
    TbrmState& first = State();
    EXPECT_EQ(&State(), &first);
    EXPECT_EQ(message(), "use State accessor function") << "refused while one exists";
    EXPECT_FALSE(State().UseIni());
    EXPECT_EQ(State().Count(), 0);
}

TEST_F(StateStore, PairsKeepTheirFirstOrderAndNamesIgnoreCase)
{
    TbrmState& state = State();
    state.SetValues("TfrmMain", "0 1 2 3 4");
    state.SetValues("Reopen0", "a.zip");
    state.SetValues("tfrmmain", "2");
    state.SetValues("Formula", "a=b=c");
    EXPECT_EQ(NamesOf(state), (Names { "tfrmmain", "Reopen0", "Formula" }));
    EXPECT_EQ(state.Values("TFRMMAIN"), "2");
    EXPECT_EQ(state.Values("formula"), "a=b=c");
    EXPECT_EQ(state.Values("absent"), "");
    state.SetValues("REOPEN0", "");
    state.SetValues("absent", "");
    EXPECT_EQ(NamesOf(state), (Names { "tfrmmain", "Formula" }));
    EXPECT_THROW(state.Names(2), AppError);
}

TEST_F(StateStore, IniFormSitsBesideTheExecutableInTheTitlesSection)
{
    const std::string ini = Ini();
    EXPECT_EQ(std::filesystem::path(ini).parent_path().string(), Folder());
    EXPECT_EQ(std::filesystem::path(ini).filename(), "core_tests.ini");

    TbrmState& state = State();
    state.SetUseIni(true);
    state.SetValues("TfrmMain", "0 147 251 518 589");
    state.SetValues("Long", std::string(3000, 'v'));
    state.Save();
    TbrmState::Release();

    TbrmState& again = State();
    again.SetUseIni(true);
    again.SetValues("Kept", "from before");
    again.Load();
    EXPECT_EQ(NamesOf(again), (Names { "Kept", "TfrmMain", "Long" }));
    EXPECT_EQ(again.Values("tfrmmain"), "0 147 251 518 589");
    EXPECT_EQ(again.Values("Long"), std::string(2047, 'v'));
    EXPECT_EQ(ProfileString(ini, "VAULT TEST", "TFRMMAIN", "", 2048), "0 147 251 518 589");
}

TEST_F(StateStore, SavingReplacesTheFiveReopenNamesAndKeepsOtherKeys)
{
    ASSERT_TRUE(WriteProfileString(Ini(), Section(), "Reopen3", "old3.zip"));
    ASSERT_TRUE(WriteProfileString(Ini(), Section(), "Reopen4", "old4.zip"));
    ASSERT_TRUE(WriteProfileString(Ini(), Section(), "Other", "stays"));
    {
        const std::unique_ptr<TRegistryKey> key = Key();
        ASSERT_TRUE(key);
        ASSERT_TRUE(key->SetStringValue("Reopen2", "old2.zip"));
        ASSERT_TRUE(key->SetStringValue("Other", "stays"));
    }
    for (const bool useIni : { true, false }) {
        SCOPED_TRACE(useIni ? "INI" : "registry");
        TbrmState::Release();
        TbrmState& state = State();
        state.SetUseIni(useIni);
        state.SaveReopenList({ "new0.zip", "new1.zip" });
        state.SetValues("Removed", "");
        state.Save();
        TbrmState::Release();
        TbrmState& loaded = State();
        loaded.SetUseIni(useIni);
        loaded.Load();
        TReopenList list;
        loaded.LoadReopenList(list);
        EXPECT_EQ(list, (TReopenList { "new0.zip", "new1.zip" }));
        EXPECT_EQ(loaded.Values("Other"), "stays");
        EXPECT_EQ(loaded.Values("Reopen2"), "");
    }
}

TEST_F(StateStore, ReopenListSkipsGapsAndIsWrittenBackWithout)
{
    TbrmState& state = State();
    state.SetValues("Reopen0", "zero.zip");
    state.SetValues("Reopen2", "two.zip");
    state.SetValues("Reopen4", "four.zip");
    TReopenList list;
    state.LoadReopenList(list);
    EXPECT_EQ(list, (TReopenList { "zero.zip", "two.zip", "four.zip" }));
    state.SaveReopenList(list);
    EXPECT_EQ(state.Values("Reopen1"), "two.zip");
    EXPECT_EQ(state.Values("Reopen2"), "four.zip");
    EXPECT_EQ(state.Values("Reopen3"), "");
    EXPECT_EQ(state.Values("Reopen4"), "");
}

TEST_F(StateStore, RegistryFormLoadsStringsAndStopsAtOtherTypes)
{
    TbrmState& state = State();
    EXPECT_FALSE(TRegistryKey::OpenForReading("Software\\Vault Test")) << "no key before the first save";
    state.Load();
    EXPECT_EQ(state.Count(), 0);
    state.SetValues("TfrmMain", "0 1 2 3 4");
    state.Save();
    TRegistryData data;
    ASSERT_EQ(TRegistryKey::OpenForReading("software\\vault test")->ReadValue("TfrmMain", data),
        TRegistryKey::ReadResult::Read);
    EXPECT_EQ(data.type, RegistryString);
    EXPECT_EQ(data.bytes, std::string("0 1 2 3 4\0", 10));
    TbrmState::Release();

    // A registry value stored in other forms, written as a person or another tool could.
    folder.Write("user-registry.reg",
        "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Vault Test]\n"
        "\"First\"=\"one\"\n\"Expand\"=hex(2):65,00,78,00\n\"Inner\"=hex(1):61,00,62,00\n\"Empty\"=hex(4):\n"
        "\"Count\"=dword:00000010\n\"After\"=\"never loaded\"\n");
    TbrmState& loaded = State();
    try {
        loaded.Load();
        ADD_FAILURE() << "a number value loaded";
    } catch (const AppError& error) {
        EXPECT_STREQ(error.what(), "Invalid data type for 'Count'");
    }
    EXPECT_EQ(NamesOf(loaded), (Names { "First", "Expand", "Inner" }));
    EXPECT_EQ(loaded.Values("Expand"), "e");
    EXPECT_EQ(loaded.Values("Inner"), "a");
}

TEST_F(StateStore, RefusedWritesRaiseTheirMessages)
{
    // A name the registry form cannot hold stops the save there; pairs after it stay unwritten.
    TbrmState& registry = State();
    registry.SetValues("First", "1");
    registry.SetValues("Line\nbreak", "2");
    registry.SetValues("Last", "3");
    try {
        registry.Save();
        ADD_FAILURE() << "saved a name with a line break";
    } catch (const AppError& error) {
        EXPECT_STREQ(error.what(), "Failed to set data for 'Line\nbreak'");
    }
    TRegistryData data;
    const std::unique_ptr<TRegistryKey> key = TRegistryKey::OpenForReading("Software\\Vault Test");
    ASSERT_TRUE(key);
    EXPECT_EQ(key->ReadValue("First", data), TRegistryKey::ReadResult::Read);
    EXPECT_EQ(key->ReadValue("Last", data), TRegistryKey::ReadResult::Missing);
    TbrmState::Release();

    // A folder where the INI file should be cannot be replaced by a file.
    std::filesystem::create_directory(Ini());
    TbrmState& state = State();
    state.SetUseIni(true);
    state.SetValues("TfrmMain", "2");
    try {
        state.Save();
        ADD_FAILURE() << "saved into a folder";
    } catch (const AppError& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + Ini());
    }
}

} // namespace
