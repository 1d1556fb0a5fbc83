#include "exchange/ui/importwizard.h"

#include "core/applanguage.h"
#include "core/ui/ask.h"
#include "core/ui/widgetnames.h"
#include "exchange/delimitedtext.h"
#include "exchange/icalendar.h"
#include "exchange/ui/importpreviewmodel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>
#include <memory>

namespace {

enum DelimiterItem { itemTab = 0, itemSemicolon, itemCsv, itemICalendar };

QLabel* wrappedLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

// The number before the first " - " of a list entry; -1 when it is none.
int leadingColumn(const QString& entry)
{
    bool ok = false;
    const int column = entry.section(QStringLiteral(" - "), 0, 0).toInt(&ok);
    return ok ? column : -1;
}

// Long steps show the busy cursor.
class BusyCursor final {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace

TfmImport::TfmImport(TSortGrid& mainGrid, QWidget* parent) : QDialog(parent), m_mainGrid(mainGrid)
{
    setObjectName(QStringLiteral("TfmImport"));
    setWindowTitle(QStringLiteral("Import wizard"));
    Notebook1 = named(new QStackedWidget(this), QStringLiteral("Notebook1"));

    // Page "start".
    auto* start = named(new QWidget, QStringLiteral("start"));
    fe = named(new QLineEdit(start), QStringLiteral("fe"));
    auto* browseButton = named(new QToolButton(start), QStringLiteral("btnBrowse"));
    browseButton->setText(QStringLiteral("..."));
    connect(browseButton, &QToolButton::clicked, this, &TfmImport::browse);
    cbDelimiter = named(new QComboBox(start), QStringLiteral("cbDelimiter"));
    cbDelimiter->setEditable(true);
    cbDelimiter->setInsertPolicy(QComboBox::NoInsert);
    cbDelimiter->addItems({QStringLiteral("TAB"), QStringLiteral("Semicolon"), QStringLiteral("CSV (comma, RFC 4180)"),
                           QStringLiteral("iCalendar (RFC 5545)")});
    cbDelimiter->setCurrentIndex(itemTab);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(fe);
    fileRow->addWidget(browseButton);
    auto* startLayout = new QVBoxLayout(start);
    startLayout->addWidget(wrappedLabel(
        QStringLiteral("Please select file you want to import. Usually you have to export data from another program "
                       "(say, MS Outllok or Sidekick) into a comma-separated or TAB-separated file before starting "
                       "import procedure."),
        start));
    startLayout->addLayout(fileRow);
    startLayout->addWidget(wrappedLabel(QStringLiteral("Please select or type delimiter (a symbol used to separate "
                                                       "fields in the file specified above)"),
                                        start));
    startLayout->addWidget(cbDelimiter);
    startLayout->addStretch();
    Notebook1->addWidget(start);

    // Page "grid".
    auto* gridPage = named(new QWidget, QStringLiteral("grid"));
    m_preview = new ImportPreviewModel(this);
    Grid = named(new QTableView(gridPage), QStringLiteral("Grid"));
    Grid->setModel(m_preview);
    Grid->setWordWrap(false);
    Grid->verticalHeader()->setDefaultSectionSize(Grid->fontMetrics().height() + 4);
    Grid->horizontalHeader()->setDefaultSectionSize(110);
    se = named(new QSpinBox(gridPage), QStringLiteral("se"));
    se->setRange(1, 1000);
    se->setValue(1);
    auto* rowLine = new QHBoxLayout;
    auto* seLabel = new QLabel(QStringLiteral("First data row: "), gridPage);
    seLabel->setBuddy(se);
    rowLine->addWidget(seLabel);
    rowLine->addWidget(se);
    rowLine->addStretch();
    auto* gridLayout = new QVBoxLayout(gridPage);
    gridLayout->addWidget(
        wrappedLabel(QStringLiteral("This is the target file. Please choose the  first row which contains data)"), gridPage));
    gridLayout->addWidget(Grid, 1);
    gridLayout->addLayout(rowLine);
    Notebook1->addWidget(gridPage);

    // Page "columns".
    auto* columns = named(new QWidget, QStringLiteral("columns"));
    Source = named(new QListWidget(columns), QStringLiteral("Source"));
    const QStringList fields = importFieldNames();
    for (const int slot : importSourceOrder()) {
        auto* item = new QListWidgetItem(fields[slot], Source);
        item->setData(Qt::UserRole, slot);
    }
    List = named(new QListWidget(columns), QStringLiteral("List"));
    match = named(new QListWidget(columns), QStringLiteral("match"));
    auto* btnMatch = named(new QPushButton(QStringLiteral("Match"), columns), QStringLiteral("btnMatch"));
    auto* btnUnMatch = named(new QPushButton(QStringLiteral("unMatch"), columns), QStringLiteral("btnUnMatch"));
    connect(btnMatch, &QPushButton::clicked, this, &TfmImport::btnMatchClick);
    connect(btnUnMatch, &QPushButton::clicked, this, &TfmImport::btnUnMatchClick);
    auto* columnsLayout = new QGridLayout(columns);
    columnsLayout->addWidget(wrappedLabel(QStringLiteral("Please match each field you want to import to the "
                                                         "corresponding field in Tarnwick.\nYou don't need to match "
                                                         "all fields. Match only fields you want to import."),
                                          columns),
                             0, 0, 1, 3);
    columnsLayout->addWidget(new QLabel(QStringLiteral("Tarnwick:"), columns), 1, 0);
    columnsLayout->addWidget(new QLabel(QStringLiteral("Imported file:"), columns), 1, 1);
    columnsLayout->addWidget(Source, 2, 0);
    columnsLayout->addWidget(List, 2, 1);
    auto* matchButtons = new QVBoxLayout;
    matchButtons->addWidget(btnMatch);
    matchButtons->addWidget(btnUnMatch);
    matchButtons->addStretch();
    columnsLayout->addLayout(matchButtons, 2, 2);
    columnsLayout->addWidget(match, 3, 0, 1, 3);
    Notebook1->addWidget(columns);

    // Page "Finish".
    auto* finishPage = named(new QWidget, QStringLiteral("Finish"));
    auto* done = new QLabel(QStringLiteral("Import operation completed"), finishPage);
    QFont bold = done->font();
    bold.setBold(true);
    done->setFont(bold);
    done->setAlignment(Qt::AlignCenter);
    auto* pleaseClick = new QLabel(QStringLiteral("Please click Finish button"), finishPage);
    pleaseClick->setAlignment(Qt::AlignCenter);
    lblNotes = named(wrappedLabel(QString(), finishPage), QStringLiteral("lblNotes"));
    lblNotes->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblNotes->hide();
    auto* finishLayout = new QVBoxLayout(finishPage);
    finishLayout->addStretch();
    finishLayout->addWidget(done);
    finishLayout->addSpacing(done->fontMetrics().height());
    finishLayout->addWidget(pleaseClick);
    finishLayout->addWidget(lblNotes);
    finishLayout->addStretch();
    Notebook1->addWidget(finishPage);

    btnBack = named(new QPushButton(QStringLiteral("<< &Back"), this), QStringLiteral("btnBack"));
    btnNext = named(new QPushButton(QStringLiteral("&Next >>"), this), QStringLiteral("btnNext"));
    btnCancel = named(new QPushButton(QStringLiteral("&Cancel"), this), QStringLiteral("btnCancel"));
    btnBack->setEnabled(false);
    btnNext->setDefault(true);
    connect(btnBack, &QPushButton::clicked, this, &TfmImport::btnBackClick);
    connect(btnNext, &QPushButton::clicked, this, &TfmImport::btnNextClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfmImport::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnBack);
    buttons->addWidget(btnNext);
    buttons->addWidget(btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Notebook1);
    layout->addLayout(buttons);
    resize(560, 400);
    setFixedSize(sizeHint().expandedTo(QSize(560, 400)));
}

int TfmImport::currentPage() const
{
    return Notebook1->currentIndex();
}

void TfmImport::turnTo(Page page)
{
    Notebook1->setCurrentIndex(page);
}

void TfmImport::browse()
{
    const QString chosen = Ask::openFileName(this, QStringLiteral("Import tasks"), fe->text());
    if (chosen.isEmpty())
        return;
    fe->setText(chosen);
    if (chosen.endsWith(QStringLiteral(".ics"), Qt::CaseInsensitive))
        cbDelimiter->setCurrentIndex(itemICalendar);
}

bool TfmImport::loadFile()
{
    const int item = cbDelimiter->findText(cbDelimiter->currentText());
    const ExchangeFormat format = item == itemSemicolon ? ExchangeFormat::Semicolon
                                  : item == itemCsv     ? ExchangeFormat::Csv
                                                        : ExchangeFormat::Tab;
    TSortGrid grid;
    QString error;
    {
        const BusyCursor busy;
        error = readDelimitedFile(fe->text(), format, grid);
    }
    if (!error.isEmpty()) {
        Ask::critical(this, error);
        return false;
    }
    m_preview->setGrid(std::move(grid));
    return true;
}

void TfmImport::btnNextClick()
{
    switch (Notebook1->currentIndex()) {
    case pageStart: {
        // Only a chosen item counts as a delimiter, never text typed into the box.
        const int item = cbDelimiter->findText(cbDelimiter->currentText());
        if (fe->text().isEmpty() || item < 0) {
            btnBack->setEnabled(false);
            Ask::warning(this, LanguageString(870));
            return;
        }
        if (item == itemICalendar) {
            importICalendar();
            return;
        }
        if (!loadFile())
            return;
        turnTo(pageGrid);
        btnBack->setEnabled(true);
        break;
    }
    case pageGrid: {
        List->clear();
        const TSortGrid& grid = m_preview->grid();
        for (int c = 0; c < grid.colCount(); ++c)
            List->addItem(QString::number(c) + QStringLiteral(" - ") + grid.cellText(0, c));
        turnTo(pageColumns);
        break;
    }
    case pageColumns:
        runImportStep();
        finish({});
        break;
    default:
        accept();
        break;
    }
}

void TfmImport::btnBackClick()
{
    const int page = Notebook1->currentIndex();
    if (page <= pageStart || page >= pageFinish)
        return;
    turnTo(Page(page - 1));
    if (page - 1 == pageStart)
        btnBack->setEnabled(false);
}

void TfmImport::btnMatchClick()
{
    QListWidgetItem* field = Source->currentItem();
    QListWidgetItem* column = List->currentItem();
    if (field == nullptr || column == nullptr || !field->isSelected() || !column->isSelected())
        return;
    const int slot = field->data(Qt::UserRole).toInt();
    m_pairs[slot] = leadingColumn(column->text());
    match->addItem(column->text() + QStringLiteral(" >> ") + field->text());
    std::unique_ptr<QListWidgetItem>(Source->takeItem(Source->row(field)));
    std::unique_ptr<QListWidgetItem>(List->takeItem(List->row(column)));
}

void TfmImport::btnUnMatchClick()
{
    QListWidgetItem* line = match->currentItem();
    if (line == nullptr || !line->isSelected())
        return;
    const QString text = line->text();
    bool ok = false;
    const int column = text.section(QStringLiteral(" - "), 0, 0).toInt(&ok);
    if (!ok)
        return;
    for (int slot = ImportSlotCount - 1; slot >= 0; --slot) {
        if (m_pairs[slot] != column)
            continue;
        auto* item = new QListWidgetItem(importFieldNames()[slot], Source);
        item->setData(Qt::UserRole, slot);
        m_pairs[slot] = -1;
        break;
    }
    List->addItem(text.section(QStringLiteral(" >> "), 0, 0));
    std::unique_ptr<QListWidgetItem>(match->takeItem(match->row(line)));
}

void TfmImport::runImportStep()
{
    if (match->count() == 0)
        return;
    const int firstDataRow = int(std::nearbyint(se->value() - 1.0));
    {
        const BusyCursor busy;
        m_imported = ImportTasks(m_mainGrid, m_preview->grid(), m_pairs, firstDataRow);
    }
    if (m_imported > 0 && onImported)
        onImported();
}

void TfmImport::importICalendar()
{
    ICalendarTasks tasks;
    QString error;
    {
        const BusyCursor busy;
        error = readICalendarFile(fe->text(), &tasks);
    }
    if (!error.isEmpty()) {
        Ask::critical(this, error);
        return;
    }
    insertImportedRows(m_mainGrid, tasks.rows);
    m_imported = int(tasks.rows.size());
    if (m_imported > 0 && onImported)
        onImported();
    QStringList notes{QStringLiteral("%1 task(s) imported.").arg(m_imported)};
    if (!tasks.unmapped.isEmpty()) {
        notes.append(QStringLiteral("Not carried over:"));
        notes.append(tasks.unmapped.mid(0, 20));
        if (tasks.unmapped.size() > 20)
            notes.append(QStringLiteral("... and %1 more").arg(tasks.unmapped.size() - 20));
    }
    finish(notes);
}

void TfmImport::finish(const QStringList& notes)
{
    btnBack->setEnabled(false);
    btnCancel->setEnabled(false);
    btnNext->setText(LanguageString(871));
    lblNotes->setText(notes.join(u'\n'));
    lblNotes->setVisible(!notes.isEmpty());
    turnTo(pageFinish);
}
