#pragma once

#include "settings/ReopenList.h"

#include <QMainWindow>

// The program's main window.
class TfrmMain : public QMainWindow {
    Q_OBJECT

public:
    TfrmMain();
    ~TfrmMain() override;

    // Puts an archive just loaded at the top of the Reopen list.
    void AddReopenEntry(const std::string& path);
    const TReopenList& ReopenList() const { return FReopenList; }

private:
    void FormCreate();
    void FormDestroy();

    TReopenList FReopenList;
};
