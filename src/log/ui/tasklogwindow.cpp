#include "log/ui/tasklogwindow.h"

#include "core/applanguage.h"
#include "core/dataset.h"
#include "core/datasetsession.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/tasktable.h"
#include "core/ui/ask.h"
#include "core/ui/confirmbox.h"
#include "core/ui/datasetproperties.h"
#include "core/ui/formplacement.h"
#include "core/ui/widgetnames.h"
#include "log/tasklog.h"
#include "log/tasklogmodel.h"
#include "tasks/columnlayout.h"
#include "tasks/ui/attachmentrunner.h"
#include "tasks/ui/findwindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScopedValueRollback>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int rowHeight = 17;
constexpr int extraWidth = 3;         // beyond the widest text of a column
constexpr int nameColumnReserve = 26; // kept free beside the columns for the frame and scroll bar
constexpr int minNameWidth = 40;

} // namespace

TfmLog::TfmLog(SettingsStore& settings, DataSet& data, TfmFind& find, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_data(data), m_find(find)
{
    setObjectName(QStringLiteral("TfmLog"));
    setWindowTitle(QStringLiteral("Task log"));
    setModal(true);
    resize(720, 480);

    auto* caption = new QLabel(QStringLiteral("Explore removed tasks."), this);

    m_model = new TaskLogModel(m_data.BackGrid, this);
    LogGrid = named(new QTableView(this), QStringLiteral("LogGrid"));
    LogGrid->setModel(m_model);
    LogGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    LogGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    LogGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LogGrid->setSortingEnabled(false);
    LogGrid->setWordWrap(false);
    LogGrid->verticalHeader()->hide();
    LogGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    LogGrid->verticalHeader()->setDefaultSectionSize(std::max(rowHeight, LogGrid->fontMetrics().height() + 2));
    LogGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    LogGrid->horizontalHeader()->setSectionsClickable(false);
    LogGrid->horizontalHeader()->setHighlightSections(false);
    LogGrid->horizontalHeader()->setStretchLastSection(false);
    connect(LogGrid->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column) {
        if (!m_sizing)
            m_userSized.insert(column);
    });
    connect(LogGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { LogGridSelectCell(current.row()); });

    memoPreview = named(new QPlainTextEdit(this), QStringLiteral("memoPreview"));
    memoPreview->setReadOnly(true);
    memoPreview->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoPreview->setMaximumHeight(memoPreview->fontMetrics().lineSpacing() * 6);
    edAttach = named(new QLineEdit(this), QStringLiteral("edAttach"));
    edAttach->setReadOnly(true);
    btnRun = named(new QPushButton(QStringLiteral("..."), this), QStringLiteral("btnRun"));
    btnRun->setIcon(style()->standardIcon(QStyle::SP_FileIcon));
    btnRun->setText(QString());
    btnRun->setToolTip(QStringLiteral("Launch attached file"));
    auto* notesLabel = new QLabel(QStringLiteral("Task notes:"), this);
    notesLabel->setBuddy(memoPreview);
    auto* attachLabel = new QLabel(QStringLiteral("Attached file:"), this);
    attachLabel->setBuddy(edAttach);

    btnDelete = named(new QPushButton(QStringLiteral("&Delete row"), this), QStringLiteral("btnDelete"));
    btnClear = named(new QPushButton(QStringLiteral("Clear &Task Log"), this), QStringLiteral("btnClear"));
    btnFind = named(new QPushButton(QStringLiteral("&Find..."), this), QStringLiteral("btnFind"));
    btnPrint = named(new QPushButton(QStringLiteral("Print..."), this), QStringLiteral("btnPrint"));
    btnPrint->setVisible(false); // there is no printing yet
    btnClose = named(new QPushButton(QStringLiteral("&Close"), this), QStringLiteral("btnClose"));
    btnClose->setDefault(true);
    btnHelp = named(new QPushButton(QStringLiteral("&Help"), this), QStringLiteral("btnHelp"));
    offerHelpButton(btnHelp);

    auto* attachRow = new QHBoxLayout;
    attachRow->addWidget(edAttach, 1);
    attachRow->addWidget(btnRun);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {btnDelete, btnClear, btnFind, btnPrint})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(btnClose);
    buttons->addWidget(btnHelp);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(LogGrid, 1);
    layout->addWidget(notesLabel);
    layout->addWidget(memoPreview);
    layout->addWidget(attachLabel);
    layout->addLayout(attachRow);
    layout->addLayout(buttons);

    connect(btnDelete, &QPushButton::clicked, this, &TfmLog::btnDeleteClick);
    connect(btnClear, &QPushButton::clicked, this, &TfmLog::btnClearClick);
    connect(btnFind, &QPushButton::clicked, this, &TfmLog::btnFindClick);
    connect(btnRun, &QPushButton::clicked, this, &TfmLog::btnRunClick);
    connect(btnClose, &QPushButton::clicked, this, &TfmLog::reject);
    connect(btnHelp, &QPushButton::clicked, this, [this] { Q_EMIT helpRequested(QStringLiteral("log")); });

    restoreFormPlacement(this, m_settings, Settings::Forms::LogForm);
    ShowLog();
}

TfmLog::~TfmLog() = default;

int TfmLog::execShow()
{
    const DataSet::OpenResult reloaded = m_data.reloadTaskLog();
    QList<DataSetMessage> messages = dataSetMessages(reloaded.messages);
    if (!reloaded.ok())
        messages.append({DataSetMessage::Error, {}, reloaded.errors.join(u'\n')});
    showDataSetMessages(parentWidget(), messages);
    ShowLog();
    if (m_find.LogRowToShow >= 0) {
        selectTableRow(m_find.LogRowToShow);
        m_find.LogRowToShow = -1;
    }
    LogGrid->setFocus();
    return Ask::exec(*this);
}

void TfmLog::ShowLog()
{
    TaskLog::CleanLogGrid(m_data.BackGrid);
    m_model->reload();
    // The grid gets its width from the window's layout before the name column takes what is left.
    layout()->activate();
    SetupLogGrid();
    selectTableRow(1);
    updateButtons();
}

void TfmLog::SetupLogGrid()
{
    const QScopedValueRollback sizing(m_sizing, true);
    QHeaderView* header = LogGrid->horizontalHeader();
    const QFontMetrics cellMetrics(LogGrid->font());
    const QFontMetrics headerMetrics(header->font());
    // What the style draws around a cell's or a caption's text.
    const int cellMargin = 2 * (LogGrid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, LogGrid) + 1);
    const int headerMargin = 2 * LogGrid->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    TextWidthCache widths;
    const auto measure = [&](const QString& text) { return cellMetrics.horizontalAdvance(text); };
    QList<int> sizes(TaskLog::DisplayColumnCount);
    for (int c = 1; c < TaskLog::DisplayColumnCount; ++c) {
        int widest = headerMetrics.horizontalAdvance(LanguageString(TaskLog::headerString(c))) + headerMargin;
        for (int r = 1; r < m_data.BackGrid.rowCount(); ++r)
            widest = std::max(widest, widths.width(TaskLog::displayText(m_data.BackGrid, r, c), measure) + cellMargin);
        sizes[c] = widest + extraWidth;
    }
    for (int c = 1; c < TaskLog::DisplayColumnCount; ++c) {
        if (!m_userSized.contains(c))
            header->resizeSection(c, sizes[c]);
    }
    fitNameColumn();
}

void TfmLog::fitNameColumn()
{
    if (m_userSized.contains(0))
        return;
    const QScopedValueRollback sizing(m_sizing, true);
    QHeaderView* header = LogGrid->horizontalHeader();
    int others = 0;
    for (int c = 1; c < TaskLog::DisplayColumnCount; ++c)
        others += header->sectionSize(c);
    header->resizeSection(0, std::max(minNameWidth, LogGrid->width() - others - nameColumnReserve));
}

void TfmLog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    fitNameColumn();
}

void TfmLog::selectTableRow(int tableRow)
{
    const int row = std::clamp(TaskLogModel::listRow(tableRow), 0, std::max(0, m_model->rowCount() - 1));
    if (m_model->rowCount() == 0)
        return;
    LogGrid->selectRow(row);
    LogGrid->setCurrentIndex(m_model->index(row, 0));
    LogGrid->scrollTo(m_model->index(row, 0));
    LogGridSelectCell(row);
}

int TfmLog::currentTableRow() const
{
    const QModelIndex current = LogGrid->currentIndex();
    return current.isValid() ? TaskLogModel::tableRow(current.row()) : -1;
}

void TfmLog::LogGridSelectCell(int listRow)
{
    const int row = TaskLogModel::tableRow(listRow);
    m_data.BackGrid.setCurrentRow(row);
    edAttach->setText(m_data.BackGrid.cellText(row, logAttachment));
    memoPreview->clear();
    if (const QStringView notes = m_data.BackGrid.cell(row, logNotes); !notes.isEmpty())
        memoPreview->setPlainText(DecodeNotes(notes).join(u'\n'));
}

void TfmLog::updateButtons()
{
    const bool entries = TaskLog::hasEntries(m_data.BackGrid);
    btnDelete->setEnabled(entries);
    btnClear->setEnabled(entries);
}

void TfmLog::saveLog()
{
    if (const QString error = m_data.saveTaskLog(); !error.isEmpty())
        Ask::critical(this, error);
}

void TfmLog::btnDeleteClick()
{
    const int row = currentTableRow();
    if (row < 1 || isEmptyLogRow(m_data.BackGrid.rowText(row)))
        return;
    if (!TfmConfirm::ask(this, m_settings, LanguageStrings({532, 533}), Settings::Confirmations,
                         Settings::TaskDeletion))
        return;
    m_data.BackGrid.DeleteRow(row);
    TaskLog::CleanLogGrid(m_data.BackGrid);
    m_model->reload();
    saveLog();
    SetupLogGrid();
    selectTableRow(row);
    updateButtons();
}

void TfmLog::btnClearClick()
{
    if (!TaskLog::hasEntries(m_data.BackGrid))
        return;
    if (!TfmConfirm::ask(this, m_settings, LanguageStrings({534, 535}), Settings::Confirmations,
                         Settings::TaskDeletion))
        return;
    m_data.BackGrid = TSortGrid(TaskLogColumnCount, 2);
    m_model->reload();
    SetupLogGrid();
    saveLog();
    selectTableRow(1);
    updateButtons();
}

void TfmLog::btnFindClick()
{
    m_find.execFor(TfmFind::Scope::TaskLogOnly);
    if (m_find.LogRowToShow >= 0) {
        selectTableRow(m_find.LogRowToShow);
        m_find.LogRowToShow = -1;
    }
}

void TfmLog::btnRunClick()
{
    if (!edAttach->text().isEmpty())
        RunAttachment(this, edAttach->text(), LanguageString(537));
}

void TfmLog::done(int result)
{
    saveLog();
    storeFormPlacement(this, m_settings, Settings::Forms::LogForm);
    QDialog::done(result);
}
