#include "translate/UInfoPdo.h"

#include "base/GuardedCall.h"
#include "project/AppContext.h"
#include "translate/Messages.h"
#include "translate/TableWindow.h"
#include "widgets/Style.h"
#include "widgets/WindowParts.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>
#include <functional>

namespace {

constexpr int InitialWidth = 640;
constexpr int InitialHeight = 430;

// The texts that differ between the tabs: each tab lists the PDOs going to its
// line and the SDOs of the other one.
struct PageTexts {
    const char *suffix;
    QString tab;
    QString pdoLabel;
    QString sdoLabel;
    QString indexLabel;
    QString subindexLabel;
    QString lowCaption;
};

const PageTexts Pages[CanLines.size()] = {
    {.suffix = "A",
     .tab = QStringLiteral("CanA"),
     .pdoLabel = QStringLiteral("Index PDO in CANA"),
     .sdoLabel = QStringLiteral("SDO CANB"),
     .indexLabel = QStringLiteral("Index SDO CANB"),
     .subindexLabel = QStringLiteral("Subindex SDO CANB"),
     .lowCaption = QStringLiteral("Trsalete in")},
    {.suffix = "B",
     .tab = QStringLiteral("CanB"),
     .pdoLabel = QStringLiteral("Index PDO in CANB"),
     .sdoLabel = QStringLiteral("SDO CANA"),
     .indexLabel = QStringLiteral("Index SDO CANA"),
     .subindexLabel = QStringLiteral("Subindex SDO CANA"),
     .lowCaption = QStringLiteral("Traslate in")},
};

const QStringList PositionItems = {QStringLiteral("none"), QStringLiteral("B1"), QStringLiteral("B2"),
                                   QStringLiteral("B3"),   QStringLiteral("B4"), QStringLiteral("B5"),
                                   QStringLiteral("B6"),   QStringLiteral("B7"), QStringLiteral("B8")};

QString named(const char *base, const char *suffix)
{
    return QString::fromLatin1(base) + QString::fromLatin1(suffix);
}

QLabel *label(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setBuddy(buddy);
    return l;
}

// Nothing current, also once the list takes the focus (which would otherwise make
// its first item current, unpicked): the first arrow key picks the first item.
void noCurrentItem(QListWidget *list)
{
    list->setCurrentIndex(QModelIndex());
}

void tabStopAt(QButtonGroup *group, QAbstractButton *stop)
{
    for (QAbstractButton *b : group->buttons())
        b->setFocusPolicy(b == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

int checkedPosition(const QButtonGroup *group)
{
    return group->checkedId();
}

void setPosition(QButtonGroup *group, int position)
{
    if (QAbstractButton *button = group->button(position)) {
        button->setChecked(true);
        return;
    }
    // No button: an exclusive group keeps its checked one unless told otherwise.
    group->setExclusive(false);
    for (QAbstractButton *b : group->buttons())
        b->setChecked(false);
    group->setExclusive(true);
    tabStopAt(group, group->button(0));
}

} // namespace

TFInfopdo::TFInfopdo(AppContext &context, QWidget *parent, StoredPdoCopies &copies)
    : TableDialog(context,
                  {.objectName = QStringLiteral("TFInfopdo"),
                   .caption = TranslateMessages::StoredPdoCaption,
                   .width = InitialWidth,
                   .height = InitialHeight,
                   .givenSizeOnShow = true},
                  parent),
      m_table(copies)
{
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("PageControl1"));
    for (CanLine line : CanLines)
        m_tabs->addTab(makePage(line), Pages[lineIndex(line)].tab);

    // Each tab's controls in reading order, then the window's buttons.
    QList<QWidget *> order{m_tabs};
    for (const Page &page : m_pages.items) {
        order << page.pdos << page.sdos << page.index << page.subindex;
        for (QButtonGroup *group : {page.high, page.low})
            for (QAbstractButton *b : group->buttons())
                order << b;
        for (QPushButton *b : page.buttons)
            order << b;
    }
    placeContent(m_tabs, order);
}

QWidget *TFInfopdo::makePage(CanLine line)
{
    const PageTexts &texts = Pages[lineIndex(line)];
    Page &page = m_pages[line];
    auto *w = new QWidget(this);
    w->setObjectName(texts.tab);

    page.pdos = new QListWidget(w);
    page.pdos->setObjectName(named("LPdoCan", texts.suffix));
    page.sdos = new QListWidget(w);
    page.sdos->setObjectName(named("LSdoCan", texts.suffix));
    page.index = new QLineEdit(w);
    page.index->setObjectName(named("Eindex", texts.suffix));
    page.subindex = new QLineEdit(w);
    page.subindex->setObjectName(named("Esubindex", texts.suffix));
    page.highBox = makePositions(line, "PoscompMsb", &page.high, w);
    page.lowBox = makePositions(line, "PoscompLsb", &page.low, w);
    for (QLineEdit *field : {page.index, page.subindex})
        connect(field, &QLineEdit::textEdited, this, [this, line] { m_pages[line].typed = true; });
    for (QButtonGroup *group : {page.high, page.low})
        connect(group, &QButtonGroup::idClicked, this, [this, line] { m_pages[line].typed = true; });
    // Each control named by the labels over it; the two groups share their
    // caption, so their second labels tell them apart. Screen readers put the
    // first label ("Traslate in") before the name themselves.
    page.pdos->setAccessibleName(texts.pdoLabel);
    page.sdos->setAccessibleName(texts.sdoLabel);
    page.highBox->setAccessibleName(QStringLiteral("High SDO Byte"));
    page.lowBox->setAccessibleName(QStringLiteral("Low SDO Byte"));

    auto *grid = new QGridLayout(w);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->addWidget(label(QStringLiteral("Correlated"), page.pdos, w), 0, 0);
    grid->addWidget(label(texts.pdoLabel, page.pdos, w), 1, 0);
    grid->addWidget(page.pdos, 2, 0, 6, 1);
    grid->addWidget(label(texts.sdoLabel, page.sdos, w), 1, 1);
    grid->addWidget(page.sdos, 2, 1, 6, 1);

    auto *fields = new QGridLayout;
    fields->addWidget(label(texts.indexLabel, page.index, w), 0, 0);
    fields->addWidget(page.index, 1, 0);
    fields->addWidget(label(texts.subindexLabel, page.subindex, w), 0, 1);
    fields->addWidget(page.subindex, 1, 1);
    fields->addWidget(label(QStringLiteral("Traslate in"), page.highBox, w), 2, 0);
    fields->addWidget(label(QStringLiteral("High SDO Byte"), page.highBox, w), 3, 0);
    fields->addWidget(page.highBox, 4, 0);
    fields->addWidget(label(texts.lowCaption, page.lowBox, w), 2, 1);
    fields->addWidget(label(QStringLiteral("Low SDO Byte"), page.lowBox, w), 3, 1);
    fields->addWidget(page.lowBox, 4, 1);
    grid->addLayout(fields, 0, 2, 6, 1);

    struct Action {
        const char *name;
        const char *text;
        void (TFInfopdo::*run)(CanLine);
    };
    const Action actions[] = {
        {"BDeleteSdo", "Delete SDO", &TFInfopdo::DeleteSdoClick}, {"BNewSdo", "New SDO", &TFInfopdo::NewSdoClick},
        {"BModifySdo", "Modify SDO", &TFInfopdo::ModifySdoClick}, {"BCopySdo", "Copy SDO", &TFInfopdo::CopySdoClick},
        {"BPasteSdo", "Paste SDO", &TFInfopdo::PasteSdoClick},
    };
    auto *buttons = new QHBoxLayout;
    for (const Action &action : actions) {
        auto *button = new QPushButton(QString::fromLatin1(action.text), w);
        button->setObjectName(named(action.name, texts.suffix));
        connect(button, &QPushButton::clicked, this, [this, line, run = action.run] { (this->*run)(line); });
        page.buttons << button;
        buttons->addWidget(button);
    }
    grid->addLayout(buttons, 8, 0, 1, 3);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);

    new ListPick(page.pdos, [this, line] { PdoClick(line); });
    new ListPick(page.sdos, [this, line] { SdoClick(line); });
    return w;
}

QGroupBox *TFInfopdo::makePositions(CanLine line, const char *name, QButtonGroup **group, QWidget *parent)
{
    auto *box = new QGroupBox(QStringLiteral("Selected PDO Byte"), parent);
    box->setObjectName(named(name, Pages[lineIndex(line)].suffix));
    *group = new QButtonGroup(box);
    auto *layout = new QGridLayout(box);
    for (int position = 0; position < PositionItems.size(); ++position) {
        auto *button = new QRadioButton(PositionItems[position], box);
        button->setObjectName(box->objectName() + QString::number(position));
        (*group)->addButton(button, position);
        layout->addWidget(button, position / 3, position % 3);
    }
    // Tab stops once in the group, at its checked item; the arrow keys move the check.
    connect(*group, &QButtonGroup::buttonToggled, box, [group = *group](QAbstractButton *button, bool on) {
        if (on)
            tabStopAt(group, button);
    });
    tabStopAt(*group, (*group)->button(0));
    return box;
}

void TFInfopdo::tableLoaded()
{
    for (CanLine line : CanLines) {
        QListWidget *pdos = m_pages[line].pdos;
        const QSignalBlocker blocker(pdos);
        pdos->clear();
        for (const StoredPdo &pdo : m_table.lineData(line).pdos)
            pdos->addItem(pdo.name);
        noCurrentItem(pdos);
        clearSdoSide(line);
    }
    m_pages[lineAt(m_tabs->currentIndex())].pdos->setFocus();
}

// The selected PDOs show what they now hold.
void TFInfopdo::tableReplaced()
{
    for (CanLine line : CanLines) {
        clearSdoSide(line);
        listSdos(line, -1);
    }
}

void TFInfopdo::clearSdoSide(CanLine line)
{
    Page &page = m_pages[line];
    const QSignalBlocker blocker(page.sdos);
    page.sdos->clear();
    showFields(line, SdoFields());
    page.typed = false;
}

SdoFields TFInfopdo::fields(CanLine line) const
{
    const Page &page = m_pages[line];
    return SdoFields{page.index->text(), page.subindex->text(), checkedPosition(page.high), checkedPosition(page.low)};
}

void TFInfopdo::showFields(CanLine line, const SdoFields &fields)
{
    Page &page = m_pages[line];
    page.index->setText(fields.index);
    page.subindex->setText(fields.subindex);
    setPosition(page.high, fields.high);
    setPosition(page.low, fields.low);
}

void TFInfopdo::listSdos(CanLine line, int selected)
{
    Page &page = m_pages[line];
    const QSignalBlocker blocker(page.sdos);
    page.sdos->clear();
    const int pdo = page.pdos->currentRow();
    if (pdo >= 0)
        page.sdos->addItems(StoredPdoTable::sdoLabels(int(m_table.pdo(line, pdo).sdos.size())));
    if (selected >= 0)
        page.sdos->setCurrentRow(selected);
    else
        noCurrentItem(page.sdos);
}

void TFInfopdo::PdoClick(CanLine line)
{
    if (m_pages[line].pdos->currentRow() < 0)
        return;
    clearSdoSide(line);
    listSdos(line, -1);
}

void TFInfopdo::SdoClick(CanLine line)
{
    const Page &page = m_pages[line];
    const int pdo = page.pdos->currentRow();
    const int sdo = page.sdos->currentRow();
    if (pdo < 0 || sdo < 0)
        return;
    const StoredSdo &stored = m_table.pdo(line, pdo).sdos[sdo];
    m_pages[line].typed = false;
    page.index->setText(stored.index);
    page.subindex->setText(stored.subindex);
    guardedCall(m_ctx.notices, [&] { showFields(line, StoredPdoTable::fieldsOf(stored)); });
}

void TFInfopdo::NewSdoClick(CanLine line)
{
    const int pdo = m_pages[line].pdos->currentRow();
    if (pdo < 0) {
        hintSelection(QStringLiteral("New SDO"), QStringLiteral("PDO"), Pages[lineIndex(line)].tab);
        return;
    }
    guardedCall(m_ctx.notices, [&] {
        if (const std::optional<QString> refused = m_table.newSdo(line, pdo, fields(line))) {
            m_ctx.notices.notice(*refused);
            return;
        }
        listSdos(line, int(m_table.pdo(line, pdo).sdos.size()) - 1);
        m_pages[line].typed = false;
    });
}

void TFInfopdo::ModifySdoClick(CanLine line)
{
    const int pdo = m_pages[line].pdos->currentRow();
    const int sdo = m_pages[line].sdos->currentRow();
    if (pdo < 0 || sdo < 0) {
        hintSelection(QStringLiteral("Modify SDO"), QStringLiteral("SDO"), Pages[lineIndex(line)].tab);
        return;
    }
    guardedCall(m_ctx.notices, [&] {
        if (const std::optional<QString> refused = m_table.modifySdo(line, pdo, sdo, fields(line)))
            m_ctx.notices.notice(*refused);
        else
            m_pages[line].typed = false;
    });
}

void TFInfopdo::DeleteSdoClick(CanLine line)
{
    const int pdo = m_pages[line].pdos->currentRow();
    const int sdo = m_pages[line].sdos->currentRow();
    if (pdo < 0 || sdo < 0) {
        hintSelection(QStringLiteral("Delete SDO"), QStringLiteral("SDO"), Pages[lineIndex(line)].tab);
        return;
    }
    m_table.deleteSdo(line, pdo, sdo);
    // Labelled afresh, so that the next new SDO's label is not one already shown.
    listSdos(line, -1);
    m_pages[line].typed = false;
}

void TFInfopdo::CopySdoClick(CanLine line)
{
    m_table.copySdo(line, fields(line));
}

void TFInfopdo::PasteSdoClick(CanLine line)
{
    if (const std::optional<SdoFields> copied = m_table.pasteSdo(line)) {
        showFields(line, *copied);
        m_pages[line].typed = true;
    }
}

std::optional<QString> TFInfopdo::unstoredFields()
{
    for (CanLine line : CanLines)
        if (m_pages[line].typed) {
            m_tabs->setCurrentIndex(lineIndex(line));
            m_pages[line].index->setFocus();
            return m_tabs->tabText(lineIndex(line));
        }
    return std::nullopt;
}

void TFInfopdo::showFault(const TableFault &fault)
{
    m_tabs->setCurrentIndex(lineIndex(fault.line));
    const Page &page = m_pages[fault.line];
    page.pdos->setCurrentRow(fault.row);
    PdoClick(fault.line);
    page.sdos->setCurrentRow(fault.item);
    SdoClick(fault.line);
    QLineEdit *field = fault.column == 0 ? page.index : page.subindex;
    field->setFocus();
    field->selectAll();
}
