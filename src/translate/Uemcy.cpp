#include "translate/Uemcy.h"

#include "base/GuardedCall.h"
#include "project/AppContext.h"
#include "translate/TableWindow.h"
#include "widgets/Style.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr int InitialWidth = 720;
constexpr int InitialHeight = 440;

// Alias codes 1 to 8; code 0 names the tab's own line.
const std::array<const char *, MaxEmcyAlias> AliasCaptions = {
    "Error code byte  HIGH", "Error code byte LOW", "Error Reg",      "Manu1 byte HIGH",
    "Manu1 byte LOW",        "Manu2 byte HIGH",     "Manu2 byte LOW", "Manu3"};

struct TabTexts {
    const char *caption;
    const char *suffix;
    const char *enable;
    const char *enableCaption;
    const char *noAlias;
    const char *modify;
    std::array<const char *, 3> aliasTexts;
};

const TabTexts Tabs[2] = {
    {"From CAN A",
     "A",
     "enablea",
     "Enabled_Traslate to CANB",
     "No traslate ID CANA",
     "Modify ENCY",
     {"ID CANA EMCY ", "Traslate in", "CANB EMCY at:"}},
    {"From CAN B",
     "B",
     "enableb",
     "Enabled_Traslate to CANA",
     "No traslate ID CANB",
     "Modify EMCY",
     {"ID CANB EMCY ", "Traslate in", "CANA EMCY at:"}},
};

QString named(const char *prefix, const char *name, const char *suffix)
{
    return QString::fromLatin1(prefix) + QString::fromLatin1(name) + QString::fromLatin1(suffix);
}

} // namespace

TFemcy::TFemcy(AppContext &context, QWidget *parent)
    : TableDialog(context,
                  {.objectName = QStringLiteral("TFemcy"),
                   .caption = QStringLiteral("Set Traslate EMCY"),
                   .width = InitialWidth,
                   .height = InitialHeight,
                   .givenSizeOnShow = true},
                  parent)
{
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("PageControl1"));
    for (CanLine line : CanLines)
        m_tabs->addTab(makePage(line), QString::fromLatin1(Tabs[lineIndex(line)].caption));
    // Each page orders its own controls; the strip follows the tabs.
    placeContent(m_tabs, {m_tabs});
}

QWidget *TFemcy::makePage(CanLine line)
{
    const TabTexts &texts = Tabs[lineIndex(line)];
    const char *s = texts.suffix;
    Page &page = m_pages[line];
    auto *widget = new QWidget(this);
    widget->setObjectName(named("TSCan", "", s));

    page.list = new QListWidget(widget);
    page.list->setObjectName(named("LBCan", "", s));
    page.list->setAccessibleName(QString::fromLatin1(texts.caption));
    page.list->setFixedWidth(130);

    auto *form = new QFormLayout;
    form->setVerticalSpacing(3);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    for (int t = 0; t < EmcyTextCount; ++t) {
        const char *attribute = EmcyAttributes[size_t(t)];
        auto *field = new QLineEdit(widget);
        field->setObjectName(named("E", attribute, s));
        auto *label = new QLabel(EmcyTable::fieldLabel(t), widget);
        label->setObjectName(named("L", attribute, s));
        label->setBuddy(field);
        form->addRow(label, field);
        page.fields[size_t(t)] = field;
        connect(field, &QLineEdit::textEdited, this, [this, line] { m_pages[line].typed = true; });
    }

    page.enable = new QCheckBox(QString::fromLatin1(texts.enableCaption), widget);
    page.enable->setObjectName(QString::fromLatin1(texts.enable));

    auto *group = new QGroupBox(QStringLiteral("Allias use"), widget);
    group->setObjectName(named("GBAlias", "", s));
    auto *groupLayout = new QVBoxLayout(group);
    groupLayout->setSpacing(2);
    for (size_t i = 0; i < texts.aliasTexts.size(); ++i) {
        auto *staticText = new QLabel(QString::fromLatin1(texts.aliasTexts[i]), group);
        staticText->setObjectName(named("STAlias", "", s) + QString::number(i + 1));
        groupLayout->addWidget(staticText);
    }
    page.alias = new QButtonGroup(group);
    for (int code = 0; code <= MaxEmcyAlias; ++code) {
        auto *radio =
            new QRadioButton(QString::fromLatin1(code == 0 ? texts.noAlias : AliasCaptions[size_t(code - 1)]), group);
        radio->setObjectName(named("RBAlias", "", s) + QString::number(code));
        page.alias->addButton(radio, code);
        groupLayout->addWidget(radio);
    }

    auto *side = new QVBoxLayout;
    side->addWidget(page.enable);
    side->addWidget(group);
    side->addStretch();

    auto *deleteButton = new QPushButton(QStringLiteral("Delete EMCY"), widget);
    deleteButton->setObjectName(named("BDelete", "", s));
    auto *newButton = new QPushButton(QStringLiteral("New EMCY"), widget);
    newButton->setObjectName(named("BNew", "", s));
    auto *modifyButton = new QPushButton(QString::fromLatin1(texts.modify), widget);
    modifyButton->setObjectName(named("BModify", "", s));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(deleteButton);
    buttons->addWidget(newButton);
    buttons->addWidget(modifyButton);
    buttons->addStretch();

    auto *top = new QHBoxLayout;
    top->addWidget(page.list);
    top->addLayout(form, 1);
    top->addLayout(side);
    auto *layout = new QVBoxLayout(widget);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);

    // Visual order: the list, the fields top to bottom, the switch, the alias group, the buttons.
    QList<QWidget *> order{page.list};
    for (QLineEdit *field : page.fields)
        order << field;
    order << page.enable;
    for (QAbstractButton *radio : page.alias->buttons())
        order << radio;
    order << deleteButton << newButton << modifyButton;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(page.enable, &QCheckBox::clicked, this, [this, line] { m_pages[line].typed = true; });
    connect(page.alias, &QButtonGroup::idClicked, this, [this, line] { m_pages[line].typed = true; });
    connect(page.list, &QListWidget::currentRowChanged, this, [this, line](int row) { showEntry(line, row); });
    // A click on the line already selected shows its entry again over what was typed.
    connect(page.list, &QListWidget::itemClicked, this,
            [this, line](QListWidgetItem *item) { showEntry(line, m_pages[line].list->row(item)); });
    connect(newButton, &QPushButton::clicked, this, [this, line] { NewClick(line); });
    connect(modifyButton, &QPushButton::clicked, this, [this, line, modifyButton] {
        if (m_pages[line].list->currentRow() < 0)
            hintSelection(modifyButton->text(), QStringLiteral("line"), m_tabs->tabText(lineIndex(line)));
        else
            ModifyClick(line);
    });
    connect(deleteButton, &QPushButton::clicked, this, [this, line, deleteButton] {
        if (m_pages[line].list->currentRow() < 0)
            hintSelection(deleteButton->text(), QStringLiteral("line"), m_tabs->tabText(lineIndex(line)));
        else
            DeleteClick(line);
    });
    return widget;
}

void TFemcy::tableLoaded()
{
    clearControls();
    showFirstEntries();
    m_tabs->setCurrentIndex(lineIndex(CanLine::A));
    m_pages[CanLine::A].list->setFocus();
}

void TFemcy::tableReplaced()
{
    clearControls();
    showFirstEntries();
}

void TFemcy::clearControls()
{
    for (Page &page : m_pages.items) {
        const QSignalBlocker block(page.list);
        page.list->clear();
        for (QLineEdit *field : page.fields)
            field->clear();
        page.enable->setChecked(false);
        page.alias->button(0)->setChecked(true);
        page.typed = false;
    }
}

void TFemcy::fillList(CanLine line, int row)
{
    QListWidget *list = m_pages[line].list;
    const QSignalBlocker block(list);
    list->clear();
    list->addItems(m_table.lines(line));
    list->setCurrentRow(row);
}

void TFemcy::showEntry(CanLine line, int row)
{
    const QList<EmcyEntry> &entries = m_table.entries(line);
    if (row < 0 || row >= entries.size())
        return;
    const EmcyEntry &entry = entries[row];
    Page &page = m_pages[line];
    page.typed = false;
    for (int t = 0; t < EmcyTextCount; ++t)
        page.fields[size_t(t)]->setText(entry.texts[size_t(t)]);
    page.enable->setChecked(entry.translate);
    // A code the window does not offer leaves the choice as it is.
    if (QAbstractButton *radio = page.alias->button(int(entry.alias)))
        radio->setChecked(true);
}

void TFemcy::showFirstEntries()
{
    for (CanLine line : CanLines) {
        const bool any = !m_table.entries(line).isEmpty();
        fillList(line, any ? 0 : -1);
        if (any)
            showEntry(line, 0);
    }
}

EmcyEntry TFemcy::fieldsEntry(CanLine line) const
{
    const Page &page = m_pages[line];
    EmcyTexts texts;
    for (int t = 0; t < EmcyTextCount; ++t)
        texts[size_t(t)] = page.fields[size_t(t)]->text();
    return EmcyEntry::fromFields(texts, page.enable->isChecked(), std::max(0, page.alias->checkedId()));
}

std::optional<QString> TFemcy::unstoredFields()
{
    for (CanLine line : CanLines) {
        const Page &page = m_pages[line];
        if (!page.typed)
            continue;
        const int row = page.list->currentRow();
        EmcyEntry typed = fieldsEntry(line);
        bool unstored = false;
        if (row < 0) {
            for (const QLineEdit *field : page.fields)
                unstored = unstored || !field->text().isEmpty();
        } else {
            const EmcyEntry &stored = m_table.entries(line)[row];
            // A code the window does not offer was shown as the choice already made.
            if (!page.alias->button(int(stored.alias)))
                typed.alias = stored.alias;
            unstored = typed != EmcyEntry::fromFields(stored.texts, stored.translate, stored.alias);
        }
        if (unstored) {
            m_tabs->setCurrentIndex(lineIndex(line));
            page.fields[0]->setFocus();
            return m_tabs->tabText(lineIndex(line));
        }
    }
    return std::nullopt;
}

void TFemcy::NewClick(CanLine line)
{
    guardedCall(m_ctx.notices, [&] {
        const EmcyEntry entry = fieldsEntry(line);
        // The identifier first, with the program's own text; then the ranges.
        if (refuseIdentifier(line, m_table.identifierRefusal(line, entry.texts[IdDev])) || refuseRange(line, entry) ||
            refuseIdentifier(line, m_table.add(line, entry)))
            return;
        fillList(line, int(m_table.entries(line).size()) - 1);
        m_pages[line].typed = false;
    });
}

void TFemcy::ModifyClick(CanLine line)
{
    guardedCall(m_ctx.notices, [&] {
        const int row = m_pages[line].list->currentRow();
        if (row < 0)
            return;
        const EmcyEntry entry = fieldsEntry(line);
        const bool newId = entry.texts[IdDev] != m_table.entries(line)[row].texts[IdDev];
        if ((newId && refuseIdentifier(line, m_table.identifierRefusal(line, entry.texts[IdDev]))) ||
            refuseRange(line, entry) || refuseIdentifier(line, m_table.modify(line, row, entry)))
            return;
        m_pages[line].list->item(row)->setText(entry.texts[IdDev]);
        m_pages[line].typed = false;
    });
}

void TFemcy::DeleteClick(CanLine line)
{
    const int row = m_pages[line].list->currentRow();
    if (row < 0)
        return;
    m_table.remove(line, row);
    fillList(line, -1);
    m_pages[line].typed = false;
}

bool TFemcy::refuseIdentifier(CanLine line, const std::optional<QString> &refusal)
{
    if (!refusal)
        return false;
    QLineEdit *field = m_pages[line].fields[IdDev];
    field->setFocus();
    field->selectAll();
    m_ctx.notices.notice(*refusal);
    return true;
}

bool TFemcy::refuseRange(CanLine line, const EmcyEntry &entry)
{
    const std::optional<TableFault> fault = EmcyTable::rangeFault(entry);
    if (!fault)
        return false;
    QLineEdit *field = m_pages[line].fields[size_t(fault->column)];
    field->setFocus();
    field->selectAll();
    m_ctx.notices.notice(fault->message);
    return true;
}

void TFemcy::showFault(const TableFault &fault)
{
    const CanLine line = fault.line;
    m_tabs->setCurrentIndex(lineIndex(line));
    m_pages[line].list->setCurrentRow(fault.row);
    showEntry(line, fault.row);
    QLineEdit *field = m_pages[line].fields[size_t(fault.column)];
    field->setFocus();
    field->selectAll();
}
