#pragma once

#include "TemporaryFolder.h"
#include "settings/ApplicationTitle.h"
#include "settings/brmState.h"
#include "services/UtilFuncs.h"
#include "services/brmFormRtn.h"
#include "shell/fmMain.h"

#include <gtest/gtest.h>

#include <memory>

// A main window made as the program makes it, with its product files and settings in
// a folder of the test's own.
class MainWindowFixture : public testing::Test {
protected:
    void SetUp() override
    {
        OverrideProgramFolder(program.Path());
        program.Write("vezozivi.dll", InvertedConfig({ "[SYSTEM]", "Name=Demo" }));
        SetApplicationTitle("Demo");
        PointStateStoreAt(program.Path());
        window = std::make_unique<TfrmMain>();
    }
    void TearDown() override
    {
        window.reset();
        TbrmState::Release();
        TbrmFormRtns::Release();
        PointStateStoreAt(std::nullopt);
    }

    TemporaryFolder program;
    std::unique_ptr<TfrmMain> window;
};
