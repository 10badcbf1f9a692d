#include "dialogs/fmGenPW.h"

#include "dialogs/DialogLayout.h"
#include "dialogs/PasswordDialogs.h"
#include "platform/qt/Clipboard.h"
#include "platform/qt/QtText.h"
#include "settings/brmState.h"
#include "services/brmFormRtn.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QSpinBox>

#include <algorithm>
#include <charconv>
#include <optional>
#include <string_view>

namespace {

const char* const PlacementName = "TfrmGenPW";

constexpr int CheckBoxHeight = 17;
// Long enough for any length a person means, short enough that a typed length
// cannot stall the dialog in generation.
constexpr int LongestTypedLength = 4;
const QColor Navy(0, 0, 128);

// A decimal whole number with an optional sign that fits a 32-bit number.
std::optional<int> WholeNumber(std::string_view text)
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.front() == '+')
        return std::nullopt;
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<int> WholeNumber(const QString& text)
{
    return WholeNumber(FromQString(text));
}

// The length box takes digits, signs and the decimal separator, refusing other keys with
// a beep, and keeps a typed value, even one out of range, until it loses the focus or
// Enter is pressed; the nearest bound then replaces it.
class TLengthSpinBox : public QSpinBox {
public:
    using QSpinBox::QSpinBox;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        const QString typed = event->text();
        if (typed.size() == 1 && typed.front().isPrint() && !IsLengthCharacter(typed.front())) {
            QApplication::beep();
            return;
        }
        QSpinBox::keyPressEvent(event);
    }

    QValidator::State validate(QString& input, int&) const override
    {
        const bool lengthCharactersOnly
            = std::all_of(input.begin(), input.end(), [this](QChar c) { return IsLengthCharacter(c); });
        if (input.size() > LongestTypedLength || !lengthCharactersOnly)
            return QValidator::Invalid;
        const std::optional<int> value = WholeNumber(input);
        return value && *value >= minimum() && *value <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
    }

    void fixup(QString& input) const override
    {
        input = QString::number(std::clamp(WholeNumber(input).value_or(minimum()), minimum(), maximum()));
    }

    int valueFromText(const QString& text) const override { return WholeNumber(text).value_or(minimum()); }

private:
    bool IsLengthCharacter(QChar c) const
    {
        return (c >= '0' && c <= '9') || c == '+' || c == '-' || QString(c) == locale().decimalPoint();
    }
};

// What the box holds now, as typed while it has the focus; text that is no whole
// number reads as the minimum.
int TypedLength(const QSpinBox& box)
{
    return WholeNumber(box.cleanText()).value_or(box.minimum());
}

QGroupBox* AddGroupBox(QWidget& parent, const char* name, const QString& title, QRect bounds)
{
    auto* box = new QGroupBox(title, &parent);
    box->setObjectName(name);
    box->setGeometry(bounds);
    return box;
}

QCheckBox* AddCheckBox(QWidget& parent, const char* name, const QString& text, int left, int top, int width)
{
    auto* box = new QCheckBox(text, &parent);
    box->setObjectName(name);
    box->setGeometry(left, top, width, CheckBoxHeight);
    return box;
}

QLabel* AddLegendLabel(QWidget& parent, const char* name, const QStringList& lines, int left, int top)
{
    QLabel* label = AddLabel(parent, name, lines.join('\n'), left, top);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Navy);
    label->setPalette(palette);
    return label;
}

// A line along the top edge of its designed bounds.
void AddTopLine(QWidget& parent, const char* name, QRect bounds)
{
    auto* line = new QFrame(&parent);
    line->setObjectName(name);
    line->setGeometry(bounds);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setFrameRect(QRect(0, 0, bounds.width(), 2));
}

std::string SettingName(const QWidget& control, const char* property)
{
    return std::string(PlacementName) + "." + FromQString(control.objectName()) + "." + property;
}

// Only "0" and "1" are written; any other stored value is taken as missing.
bool StoredChecked(const QCheckBox& box, bool fallback)
{
    const std::optional<int> stored = WholeNumber(State().Values(SettingName(box, "Checked")));
    return stored == 0 || stored == 1 ? stored == 1 : fallback;
}

void StoreChecked(const QCheckBox& box)
{
    State().SetValues(SettingName(box, "Checked"), box.isChecked() ? "1" : "0");
}

} // namespace

TfrmGenPW::TfrmGenPW()
{
    setObjectName("frmGenPW");
    SetUpFixedDialog(*this, "Generate a password", 450, 356);
    CreateControls();
    SetTabOrders();
    ConnectEvents();
    FormCreate();
    CentreOverMainWindow(*this);
    cbxUpperCase->setFocus();
}

TfrmGenPW::~TfrmGenPW()
{
    FormDestroy();
}

void TfrmGenPW::CreateControls()
{
    gbxParms = AddGroupBox(*this, "gbxParms", QString(), QRect(8, 8, 433, 218));
    CreateCharacterBox();
    AddLabel(*gbxParms, "lblLgth", "Length", 13, 170);
    speLength = new TLengthSpinBox(gbxParms);
    speLength->setObjectName("speLength");
    speLength->setGeometry(13, 184, 58, 22);
    speLength->setRange(1, 32);
    speLength->setSingleStep(1);
    speLength->setValue(TGeneratorSettings().length);
    cbxTemplate = AddCheckBox(*gbxParms, "cbxTemplate", "Use template", 216, 21, 101);
    edtTemplate = AddEdit(*gbxParms, "edtTemplate", 232, 45, 190);
    gbxTemplate = AddGroupBox(*gbxParms, "gbxTemplate", "Template characters", QRect(232, 70, 190, 135));
    CreateTemplateLegend();
    edtPassword = AddEdit(*this, "edtPassword", 8, 239, 433);
    spbGenPW = AddSpeedButton(*this, "spbGenPW", "Generate a password", "Generate a password", 8, 269, 153);
    spbClipboard = AddSpeedButton(*this, "spbClipboard", "Copy password to clipboard", "Copy password to clipboard",
        248, 269, 193);
    AddTopLine(*this, "bvlWindowDressing", QRect(8, 304, 433, 9));
    btnOK = AddButton(*this, "btnOK", "&OK", 280, 319);
    btnCancel = AddButton(*this, "btnCancel", "&Cancel", 366, 319);
    btnOK->setDefault(true);
}

void TfrmGenPW::CreateCharacterBox()
{
    gbxCharacters = AddGroupBox(*gbxParms, "gbxCharacters", "Characters to include", QRect(13, 16, 188, 145));
    cbxUpperCase = AddCheckBox(*gbxCharacters, "cbxUpperCase", "Uppercase (A-Z)", 15, 25, 155);
    cbxLowerCase = AddCheckBox(*gbxCharacters, "cbxLowerCase", "Lowercase (a-z)", 15, 46, 155);
    cbxNumbers = AddCheckBox(*gbxCharacters, "cbxNumbers", "Numbers (0-9)", 15, 68, 155);
    cbxSpecialChars = AddCheckBox(*gbxCharacters, "cbxSpecialChars", "Special", 15, 90, 155);
    edtSpecial = AddEdit(*gbxCharacters, "edtSpecial", 32, 112, 134);
}

void TfrmGenPW::CreateTemplateLegend()
{
    QLabel* letters = AddLegendLabel(*gbxTemplate, "lblCharacters", { "A", "a", "C", "c", "V", "v", "9", "$" }, 16, 20);
    letters->setFont(DesignedFont("Verdana"));
    letters->adjustSize();
    AddLegendLabel(*gbxTemplate, "lblDescription",
        { "Uppercase alpha", "Lowercase alpha", "Uppercase consonant", "Lowercase consonant", "Uppercase vowel",
            "Lowercase vowel", "Number", "Special" },
        35, 20);
}

void TfrmGenPW::SetTabOrders()
{
    QWidget* const order[] = { cbxUpperCase, cbxLowerCase, cbxNumbers, cbxSpecialChars, edtSpecial, speLength,
        cbxTemplate, edtTemplate, edtPassword, btnOK, btnCancel };
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void TfrmGenPW::ConnectEvents()
{
    connect(spbGenPW, &QToolButton::clicked, this, &TfrmGenPW::spbGenPWClick);
    connect(spbClipboard, &QToolButton::clicked, this, &TfrmGenPW::spbClipboardClick);
    connect(cbxSpecialChars, &QCheckBox::toggled, this, &TfrmGenPW::cbxSpecialCharsClick);
    connect(cbxTemplate, &QCheckBox::toggled, this, &TfrmGenPW::cbxTemplateClick);
    connect(btnOK, &QPushButton::clicked, this, &TfrmGenPW::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmGenPW::btnCancelClick);
}

void TfrmGenPW::FormCreate()
{
    LoadSettings();
    cbxSpecialCharsClick();
    cbxTemplateClick();
}

void TfrmGenPW::FormDestroy()
{
    SaveSettings();
}

void TfrmGenPW::LoadSettings()
{
    const TGeneratorSettings defaults;
    FormRtn().RestorePlacement(*this, State().Values(PlacementName));
    cbxUpperCase->setChecked(StoredChecked(*cbxUpperCase, defaults.upperCase));
    cbxLowerCase->setChecked(StoredChecked(*cbxLowerCase, defaults.lowerCase));
    cbxNumbers->setChecked(StoredChecked(*cbxNumbers, defaults.numbers));
    cbxSpecialChars->setChecked(StoredChecked(*cbxSpecialChars, defaults.special));
    cbxTemplate->setChecked(StoredChecked(*cbxTemplate, defaults.useTemplate));
    edtSpecial->setText(ToQString(State().Values(SettingName(*edtSpecial, "Text"))));
    edtTemplate->setText(ToQString(State().Values(SettingName(*edtTemplate, "Text"))));
    speLength->setValue(WholeNumber(State().Values(SettingName(*speLength, "Value"))).value_or(defaults.length));
}

void TfrmGenPW::SaveSettings()
{
    State().SetValues(PlacementName, FormRtn().SavePlacement(*this));
    for (const QCheckBox* box : { cbxUpperCase, cbxLowerCase, cbxNumbers, cbxSpecialChars, cbxTemplate })
        StoreChecked(*box);
    State().SetValues(SettingName(*edtSpecial, "Text"), FromQString(edtSpecial->text()));
    State().SetValues(SettingName(*edtTemplate, "Text"), FromQString(edtTemplate->text()));
    State().SetValues(SettingName(*speLength, "Value"), std::to_string(TypedLength(*speLength)));
}

TGeneratorSettings TfrmGenPW::Settings() const
{
    TGeneratorSettings settings;
    settings.upperCase = cbxUpperCase->isChecked();
    settings.lowerCase = cbxLowerCase->isChecked();
    settings.numbers = cbxNumbers->isChecked();
    settings.special = cbxSpecialChars->isChecked();
    settings.specialChars = FromQString(edtSpecial->text());
    settings.useTemplate = cbxTemplate->isChecked();
    settings.templateText = FromQString(edtTemplate->text());
    settings.length = TypedLength(*speLength);
    return settings;
}

void TfrmGenPW::spbGenPWClick()
{
    FPassword = GeneratePassword(Settings());
    edtPassword->setText(ToQString(FPassword));
}

void TfrmGenPW::spbClipboardClick()
{
    edtPassword->selectAll();
    CopySecretText(edtPassword->text());
}

void TfrmGenPW::cbxSpecialCharsClick()
{
    edtSpecial->setEnabled(cbxSpecialChars->isChecked());
}

void TfrmGenPW::cbxTemplateClick()
{
    edtTemplate->setEnabled(cbxTemplate->isChecked());
}

void TfrmGenPW::btnOKClick()
{
    done(ModalOk);
}

void TfrmGenPW::btnCancelClick()
{
    done(ModalCancel);
}

int ExecGenPW(std::string& password)
{
    return ExecPasswordDialog<TfrmGenPW>(password);
}
