#pragma once

#include "MainWindowFixture.h"
#include "dialogs/brmMsgDlg.h"
#include "shell/SiteListModel.h"

#include <QApplication>
#include <QListView>
#include <QToolButton>

#include <string>
#include <vector>

// A shown main window whose message service answers from a script, with the
// window's commands at hand as a user reaches them.
class CommandFixture : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        ScriptDialogs(&script);
        window->show();
        QApplication::processEvents();
        list = window->findChild<QListView*>("lbxSiteList");
    }
    void TearDown() override
    {
        ScriptDialogs(nullptr);
        MainWindowFixture::TearDown();
    }

    void Click(const char* button) { window->findChild<QToolButton*>(button)->click(); }

    void Select(int row) { list->setCurrentIndex(window->SiteItems().index(row)); }
    int Selected() const
    {
        const QModelIndexList rows = list->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.first().row();
    }

    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (int row = 0; row < window->SiteItems().Count(); ++row)
            names.push_back(window->SiteItems().Record(row).SiteName());
        return names;
    }

    // Sites as an opened archive holds them: shown, nothing to save.
    void OpenSites(const std::string& text)
    {
        auto sites = std::make_unique<TbrmPwList>();
        sites->LoadFromText(text);
        window->SetSiteList(std::move(sites));
        window->ClearSiteList();
        window->FillSiteList();
        window->SetModified(false);
    }

    TScriptedDialogs script;
    QListView* list = nullptr;
};
