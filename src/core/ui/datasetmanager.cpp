#include "core/ui/datasetmanager.h"

#include "core/settingsnames.h"
#include "core/ui/ask.h"
#include "core/ui/datasetproperties.h"
#include "core/ui/formplacement.h"
#include "core/ui/widgetnames.h"

#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

TfmDatasetManager::TfmDatasetManager(SettingsStore& settings, const QString& programFolder, const QString& openFolder,
                                     QWidget* parent)
    : TfmDatasetManager(settings, programFolder, QString(), openFolder, parent)
{
    for (int r = 0; r < m_list.count(); ++r) {
        if (m_list.isOpen(r, m_openFolder))
            m_openName = m_list.nameAt(r);
    }
}

TfmDatasetManager::TfmDatasetManager(SettingsStore& settings, const QString& programFolder, const QString& openName,
                                     const QString& openFolder, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_list(programFolder), m_openName(openName), m_openFolder(openFolder)
{
    setObjectName(QStringLiteral("TfmDatasetManager"));
    setWindowTitle(QStringLiteral("Database manager"));
    setModal(true);

    m_grid = new QTableWidget(0, 2, this);
    m_grid->setObjectName(QStringLiteral("gridDatasets"));
    m_grid->setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Location")});
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setStretchLastSection(true);

    const auto button = [this](const QString& text, const QString& name) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    auto* newButton = button(QStringLiteral("&New..."), QStringLiteral("btnNew"));
    auto* removeButton = button(QStringLiteral("&Remove"), QStringLiteral("btnRemove"));
    auto* propertiesButton = button(QStringLiteral("&Properties"), QStringLiteral("btnProperties"));
    auto* openButton = button(QStringLiteral("Open database"), QStringLiteral("btnOpen"));
    openButton->setDefault(true);
    auto* exitButton = button(QStringLiteral("&Exit"), QStringLiteral("btnExit"));
    auto* helpButton = button(QStringLiteral("&Help"), QStringLiteral("btnHelp"));
    offerHelpButton(helpButton);
    m_startup = new QComboBox(this);
    m_startup->setObjectName(QStringLiteral("cbStartup"));

    auto* side = new QVBoxLayout;
    for (QPushButton* b : {newButton, removeButton, propertiesButton})
        side->addWidget(b);
    side->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(m_grid, 1);
    top->addLayout(side);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(QStringLiteral("Start up using:"), this));
    bottom->addWidget(m_startup, 1);
    bottom->addWidget(openButton);
    bottom->addWidget(exitButton);
    bottom->addWidget(helpButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(bottom);
    resize(560, 320);
    restoreFormPlacement(this, m_settings, Settings::Forms::ManagerForm);

    m_list.load(m_settings);
    fillGrid();
    // Enter opens the selected row: at first that is the open data set, so Enter switches nothing.
    for (int r = 0; r < m_list.count(); ++r) {
        if (m_list.isOpen(r, m_openFolder)) {
            m_grid->selectRow(r);
            break;
        }
    }
    fillStartupChoice();

    connect(newButton, &QPushButton::clicked, this, &TfmDatasetManager::newEntry);
    connect(propertiesButton, &QPushButton::clicked, this, &TfmDatasetManager::editSelected);
    connect(removeButton, &QPushButton::clicked, this, &TfmDatasetManager::removeSelected);
    connect(openButton, &QPushButton::clicked, this, &TfmDatasetManager::openSelected);
    connect(m_grid, &QTableWidget::cellDoubleClicked, this, &TfmDatasetManager::openSelected);
    connect(exitButton, &QPushButton::clicked, this, &TfmDatasetManager::reject);
    connect(helpButton, &QPushButton::clicked, this, [this] {
        if (onHelp)
            onHelp();
    });
    connect(m_startup, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_filling)
            m_list.storeStartupChoice(m_settings, index);
    });
}

void TfmDatasetManager::fillGrid()
{
    const int keep = std::max(0, selectedRow());
    m_grid->setRowCount(m_list.count());
    for (int r = 0; r < m_list.count(); ++r) {
        m_grid->setItem(r, 0, new QTableWidgetItem(m_list.nameAt(r)));
        m_grid->setItem(r, 1, new QTableWidgetItem(QDir::toNativeSeparators(m_list.folderAt(r))));
    }
    if (m_list.count() > 0)
        m_grid->selectRow(std::min(keep, m_list.count() - 1));
}

void TfmDatasetManager::fillStartupChoice()
{
    m_filling = true;
    m_startup->clear();
    m_startup->addItems(m_list.startupItems());
    m_startup->setCurrentIndex(m_list.startupSelection(m_settings));
    m_filling = false;
}

int TfmDatasetManager::selectedRow() const
{
    const QList<QTableWidgetSelectionRange> ranges = m_grid->selectedRanges();
    return ranges.isEmpty() ? -1 : ranges.first().topRow();
}

void TfmDatasetManager::openSelected()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    m_chosenName = m_list.nameAt(row);
    m_chosenFolder = m_list.folderAt(row);
    accept();
}

void TfmDatasetManager::newEntry()
{
    TfmDatasetProperties properties(m_settings, m_list, -1, m_openFolder, this);
    Ask::exec(properties);
    fillGrid();
    if (properties.result().changed)
        m_grid->selectRow(m_list.count() - 1);
    fillStartupChoice();
}

void TfmDatasetManager::editSelected()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    // The start-up choice is stored by name: a renamed start-up data set stays the choice.
    const bool startupChoice = m_startup->currentIndex() == row + 1;
    TfmDatasetProperties properties(m_settings, m_list, row, m_openFolder, this);
    Ask::exec(properties);
    if (startupChoice && properties.result().changed)
        m_list.storeStartupChoice(m_settings, row + 1);
    if (properties.result().openNameChanged) {
        m_openName = m_list.nameAt(row);
        m_openNameChanged = true;
    }
    fillGrid();
    fillStartupChoice();
}

void TfmDatasetManager::removeSelected()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    if (m_list.isOpen(row, m_openFolder)) {
        showDataSetMessages(this, m_list.remove(row, false, m_openFolder).messages);
        return;
    }
    const auto answer = Ask::question(this, m_list.removeQuestion(row),
                                      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel);
    if (answer != QMessageBox::Yes && answer != QMessageBox::No)
        return;
    showDataSetMessages(this, m_list.remove(row, answer == QMessageBox::Yes, m_openFolder).messages);
    fillGrid();
    fillStartupChoice();
}

void TfmDatasetManager::done(int result)
{
    if (const QString error = m_list.save(); !error.isEmpty())
        Ask::critical(this, error);
    m_list.storeStartupChoice(m_settings, m_startup->currentIndex());
    storeFormPlacement(this, m_settings, Settings::Forms::ManagerForm);
    QDialog::done(result);
}
