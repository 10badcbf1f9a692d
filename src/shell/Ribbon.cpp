#include "shell/Ribbon.h"

#include "dialogs/DialogLayout.h"
#include "shell/RibbonArt.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPainter>
#include <QProxyStyle>
#include <QTabBar>
#include <QStyleOptionToolButton>
#include <QStylePainter>

#include <vector>

namespace {

constexpr int RibbonHeight = 116;
constexpr int TabPictureSize = 16;
constexpr int TabHeight = 24;
constexpr int PictureSize = 32;
constexpr int DefaultButtonWidth = 65;
constexpr int DividerWidth = 4;
constexpr int Margin = 3;

struct ButtonEntry {
    const char* page;
    int group;
    const char* name;
    const char* caption;
    int width;
};

const std::vector<ButtonEntry>& ButtonTable()
{
    static const std::vector<ButtonEntry> table {
        { "File", 1, "btnNew", "New", DefaultButtonWidth },
        { "File", 1, "btnOpen", "Open", DefaultButtonWidth },
        { "File", 1, "btnClose", "Close", DefaultButtonWidth },
        { "File", 2, "btnSave", "Save", DefaultButtonWidth },
        { "File", 2, "btnSaveAs", "Save As...", DefaultButtonWidth },
        { "File", 3, "btnnewAr", "New archive password...", 75 },
        { "File", 3, "btnImport", "Import...", DefaultButtonWidth },
        { "File", 4, "btnExit", "Exit", DefaultButtonWidth },
        { "Edit", 1, "btnAdd", "Add a site", DefaultButtonWidth },
        { "Edit", 1, "btnModify", "Modify a site", DefaultButtonWidth },
        { "Edit", 2, "btnDel", "Delete a site", DefaultButtonWidth },
        { "Tools", 1, "benGen", "Generate a password...", 89 },
        { "Tools", 2, "btnCreate", "Create desktop shortcut for this archive", 120 },
        { "Help", 1, "btnAbout", "About", DefaultButtonWidth },
        { "Help", 2, "btnHelp", "Help", DefaultButtonWidth },
        { "Help", 2, "btnHomepage", "Homepage", DefaultButtonWidth },
    };
    return table;
}

QFrame* Divider(QWidget& page)
{
    auto* divider = new QFrame(&page);
    divider->setFrameShape(QFrame::VLine);
    divider->setFrameShadow(QFrame::Sunken);
    divider->setFixedWidth(DividerWidth);
    return divider;
}

QRect TextRect(const QRect& bounds)
{
    return bounds.adjusted(Margin, Margin + PictureSize + Margin, -Margin, -Margin);
}

// The ribbon's tabs are of the designed height whatever the style's own.
class TRibbonTabStyle : public QProxyStyle {
public:
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
        const QWidget* widget) const override
    {
        QSize result = QProxyStyle::sizeFromContents(type, option, size, widget);
        if (type == CT_TabBarTab)
            result.setHeight(TabHeight);
        return result;
    }
};

} // namespace

QSize TRibbonButton::sizeHint() const
{
    const QRect caption = fontMetrics().boundingRect(QRect(0, 0, width() - 2 * Margin, 1000),
        Qt::TextWordWrap | Qt::AlignHCenter, text());
    return QSize(width(), 3 * Margin + PictureSize + caption.height());
}

void TRibbonButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    painter.drawComplexControl(QStyle::CC_ToolButton, option);
    const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
    icon().paint(&painter, QRect((width() - PictureSize) / 2, Margin, PictureSize, PictureSize), Qt::AlignCenter, mode);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(TextRect(rect()), Qt::TextWordWrap | Qt::AlignHCenter | Qt::AlignTop, text());
}

QTabWidget* BuildRibbon(QWidget& parent, std::map<std::string, QToolButton*>& buttons)
{
    auto* ribbon = new QTabWidget(&parent);
    ribbon->setObjectName("sPageControlMain");
    ribbon->setFont(DesignedFont("Tahoma"));
    ribbon->setFixedHeight(RibbonHeight);
    ribbon->setIconSize(QSize(TabPictureSize, TabPictureSize));
    auto* tabStyle = new TRibbonTabStyle();
    tabStyle->setParent(ribbon);
    ribbon->tabBar()->setStyle(tabStyle);
    for (const char* caption : { "File", "Edit", "Tools", "Help" }) {
        auto* page = new QWidget(ribbon);
        auto* row = new QHBoxLayout(page);
        row->setContentsMargins(Margin, Margin, Margin, Margin);
        row->setSpacing(0);
        int group = 0;
        for (const ButtonEntry& entry : ButtonTable()) {
            if (QString(entry.page) != caption)
                continue;
            if (group != 0 && entry.group != group)
                row->addWidget(Divider(*page));
            group = entry.group;
            auto* button = new TRibbonButton(page);
            button->setObjectName(entry.name);
            button->setText(entry.caption);
            button->setIcon(ButtonPicture(entry.name));
            button->setIconSize(QSize(PictureSize, PictureSize));
            button->setAutoRaise(true);
            button->setFocusPolicy(Qt::NoFocus);
            button->setFixedWidth(entry.width);
            button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
            row->addWidget(button);
            buttons[entry.name] = button;
        }
        row->addStretch();
        ribbon->addTab(page, TabPicture(caption), caption);
    }
    ribbon->setCurrentIndex(0);
    return ribbon;
}
