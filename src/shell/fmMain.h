#pragma once

#include <QMainWindow>

// The program's main window.
class TfrmMain : public QMainWindow {
    Q_OBJECT

public:
    TfrmMain();

private:
    void FormCreate();
};
