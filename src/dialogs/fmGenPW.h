#pragma once

#include "model/PasswordGenerator.h"

#include <QDialog>

#include <string>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QToolButton;

// Generates passwords from the settings the user chooses, which it remembers with its
// placement; hands back the password generated last.
class TfrmGenPW : public QDialog {
    Q_OBJECT

public:
    TfrmGenPW();
    ~TfrmGenPW() override;
    const std::string& Password() const { return FPassword; }

private slots:
    void spbGenPWClick();
    void spbClipboardClick();
    void cbxSpecialCharsClick();
    void cbxTemplateClick();
    void btnOKClick();
    void btnCancelClick();

private:
    void CreateControls();
    void CreateCharacterBox();
    void CreateTemplateLegend();
    void SetTabOrders();
    void ConnectEvents();
    void FormCreate();
    void FormDestroy();
    void LoadSettings();
    void SaveSettings();
    TGeneratorSettings Settings() const;

    QGroupBox* gbxParms;
    QGroupBox* gbxCharacters;
    QCheckBox* cbxUpperCase;
    QCheckBox* cbxLowerCase;
    QCheckBox* cbxNumbers;
    QCheckBox* cbxSpecialChars;
    QLineEdit* edtSpecial;
    QSpinBox* speLength;
    QCheckBox* cbxTemplate;
    QLineEdit* edtTemplate;
    QGroupBox* gbxTemplate;
    QLineEdit* edtPassword;
    QToolButton* spbGenPW;
    QToolButton* spbClipboard;
    QPushButton* btnOK;
    QPushButton* btnCancel;

    std::string FPassword;
};

// Shows the password generator; on OK (1) Password receives the password generated
// last, even an empty one; on Cancel (2) it keeps its value.
int ExecGenPW(std::string& password);
