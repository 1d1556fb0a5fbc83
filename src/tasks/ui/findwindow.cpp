#include "tasks/ui/findwindow.h"

#include "core/applanguage.h"
#include "core/clock.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/ui/ask.h"
#include "core/ui/formplacement.h"
#include "core/ui/widgetnames.h"
#include "tasks/findresultmodel.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The height the results panel gets when it opens, beyond what the parameters need.
constexpr int resultsHeight = 220;

} // namespace

TfmFind::TfmFind(SettingsStore& settings, const Find::Sources& sources, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_sources(sources)
{
    setObjectName(QStringLiteral("TfmFind"));
    setWindowTitle(QStringLiteral("Find"));
    setModal(true);

    // "Text and location".
    tsText = named(new QWidget, QStringLiteral("tsText"));
    edFind = named(new QComboBox(tsText), QStringLiteral("edFind"));
    edFind->setEditable(true);
    edFind->setInsertPolicy(QComboBox::NoInsert); // each search adds its text itself, repeats included
    edFind->setDuplicatesEnabled(true);
    edFind->setMinimumContentsLength(24);
    cbCase = named(new QCheckBox(QStringLiteral("Case sensitive"), tsText), QStringLiteral("cbCase"));
    cbActive = named(new QCheckBox(QStringLiteral("Active tasks"), tsText), QStringLiteral("cbActive"));
    cbLog = named(new QCheckBox(QStringLiteral("Task Log"), tsText), QStringLiteral("cbLog"));
    cbDiary = named(new QCheckBox(QStringLiteral("Diary"), tsText), QStringLiteral("cbDiary"));
    for (QCheckBox* place : {cbActive, cbLog, cbDiary})
        place->setChecked(true);
    auto* searchFor = new QLabel(QStringLiteral("Search for:"), tsText);
    searchFor->setBuddy(edFind);
    auto* places = new QGroupBox(QStringLiteral("Search in"), tsText);
    auto* placesLayout = new QVBoxLayout(places);
    placesLayout->addWidget(cbActive);
    placesLayout->addWidget(cbLog);
    placesLayout->addWidget(cbDiary);
    auto* textLayout = new QVBoxLayout(tsText);
    textLayout->addWidget(searchFor);
    textLayout->addWidget(edFind);
    textLayout->addWidget(cbCase);
    textLayout->addWidget(places);
    textLayout->addStretch();

    // "Date".
    tsDate = named(new QWidget, QStringLiteral("tsDate"));
    rbAll = named(new QRadioButton(QStringLiteral("All dates"), tsDate), QStringLiteral("rbAll"));
    rbRange = named(new QRadioButton(QStringLiteral("From"), tsDate), QStringLiteral("rbRange"));
    rbLastDays = named(new QRadioButton(QStringLiteral("Last"), tsDate), QStringLiteral("rbLastDays"));
    rbLastWeeks = named(new QRadioButton(QStringLiteral("Last"), tsDate), QStringLiteral("rbLastWeeks"));
    rbAll->setChecked(true);
    const QDate today = Clock::current().today();
    pckDateFrom = named(new QDateEdit(today, tsDate), QStringLiteral("pckDateFrom"));
    pckDateTo = named(new QDateEdit(today, tsDate), QStringLiteral("pckDateTo"));
    for (QDateEdit* box : {pckDateFrom, pckDateTo})
        box->setCalendarPopup(true);
    edDays = named(new QSpinBox(tsDate), QStringLiteral("edDays"));
    edWeeks = named(new QSpinBox(tsDate), QStringLiteral("edWeeks"));
    for (QSpinBox* count : {edDays, edWeeks}) {
        count->setRange(1, 10000);
        count->setValue(1);
    }
    auto* dateLayout = new QGridLayout(tsDate);
    dateLayout->addWidget(rbAll, 0, 0, 1, 4);
    dateLayout->addWidget(rbRange, 1, 0);
    dateLayout->addWidget(pckDateFrom, 1, 1);
    dateLayout->addWidget(new QLabel(QStringLiteral("To"), tsDate), 1, 2);
    dateLayout->addWidget(pckDateTo, 1, 3);
    dateLayout->addWidget(rbLastDays, 2, 0);
    dateLayout->addWidget(edDays, 2, 1);
    dateLayout->addWidget(new QLabel(QStringLiteral("days"), tsDate), 2, 2);
    dateLayout->addWidget(rbLastWeeks, 3, 0);
    dateLayout->addWidget(edWeeks, 3, 1);
    dateLayout->addWidget(new QLabel(QStringLiteral("weeks"), tsDate), 3, 2);
    dateLayout->setRowStretch(4, 1);
    for (QRadioButton* mode : {rbAll, rbRange, rbLastDays, rbLastWeeks})
        connect(mode, &QRadioButton::toggled, this, &TfmFind::applyDateMode);

    pcFind = named(new QTabWidget(this), QStringLiteral("pcFind"));
    pcFind->addTab(tsText, QStringLiteral("&Text and location"));
    pcFind->addTab(tsDate, QStringLiteral("&Date"));

    btnFind = named(new QPushButton(QStringLiteral("&Find"), this), QStringLiteral("btnFind"));
    btnFind->setDefault(true);
    btnReset = named(new QPushButton(QStringLiteral("&Reset"), this), QStringLiteral("btnReset"));
    btnClose = named(new QPushButton(QStringLiteral("&Close"), this), QStringLiteral("btnClose"));
    btnHelp = named(new QPushButton(QStringLiteral("&Help"), this), QStringLiteral("btnHelp"));
    offerHelpButton(btnHelp);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {btnFind, btnReset, btnClose, btnHelp})
        buttons->addWidget(button);
    buttons->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(pcFind, 1);
    top->addLayout(buttons);

    // Results.
    pResults = named(new QGroupBox(QStringLiteral("Search results:"), this), QStringLiteral("pResults"));
    m_results = new FindResultModel(this);
    gridSearch = named(new QTableView(pResults), QStringLiteral("gridSearch"));
    gridSearch->setModel(m_results);
    gridSearch->setSelectionBehavior(QAbstractItemView::SelectRows);
    gridSearch->setSelectionMode(QAbstractItemView::SingleSelection);
    gridSearch->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gridSearch->setWordWrap(false);
    gridSearch->verticalHeader()->hide();
    gridSearch->verticalHeader()->setDefaultSectionSize(gridSearch->fontMetrics().height() + 4);
    gridSearch->horizontalHeader()->setHighlightSections(false);
    pStatus = named(new QLabel(pResults), QStringLiteral("pStatus"));
    btnGoto = named(new QPushButton(QStringLiteral("&Go to selected result"), pResults), QStringLiteral("btnGoto"));
    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(pStatus, 1);
    statusRow->addWidget(btnGoto);
    auto* resultsLayout = new QVBoxLayout(pResults);
    resultsLayout->addWidget(gridSearch, 1);
    resultsLayout->addLayout(statusRow);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(pResults, 1);

    connect(btnFind, &QPushButton::clicked, this, &TfmFind::btnFindClick);
    connect(btnReset, &QPushButton::clicked, this, &TfmFind::Reset);
    connect(btnClose, &QPushButton::clicked, this, &TfmFind::reject);
    connect(btnHelp, &QPushButton::clicked, this, [this] { Q_EMIT helpRequested(QStringLiteral("search")); });
    connect(btnGoto, &QPushButton::clicked, this, &TfmFind::btnGotoClick);
    connect(gridSearch, &QTableView::doubleClicked, this, &TfmFind::btnGotoClick);

    Reset();
    restoreFormPlacement(this, m_settings, Settings::Forms::FindForm);
}

TfmFind::~TfmFind() = default;

int TfmFind::execFor(Scope scope)
{
    const bool all = scope == Scope::AllPlaces;
    for (QCheckBox* place : {cbActive, cbDiary}) {
        place->setVisible(all);
        place->setChecked(all);
    }
    Reset();
    applyWeekStart();
    return Ask::exec(*this);
}

void TfmFind::Reset()
{
    showResults(false);
    m_results->clear();
    btnGoto->setEnabled(false);
    edFind->clearEditText();
    pcFind->setCurrentWidget(tsText);
    // Asking for a date box's calendar builds it: at start-up, long before the window shows, that
    // would only delay the main window.
    if (isVisible())
        applyWeekStart();
    setParametersEnabled(true);
    edFind->setFocus();
}

void TfmFind::applyWeekStart()
{
    // The calendars follow the week start chosen in the preferences (0 = Sunday .. 6 = Saturday).
    const int weekStart = std::clamp(m_settings.readInteger(Settings::Calendar, Settings::WeekStart, 0), 0, 6);
    for (QDateEdit* box : {pckDateFrom, pckDateTo})
        box->calendarWidget()->setFirstDayOfWeek(Qt::DayOfWeek(weekStart == 0 ? 7 : weekStart));
}

void TfmFind::setParametersEnabled(bool enabled)
{
    for (QWidget* control :
         std::initializer_list<QWidget*>{edFind, cbCase, cbActive, cbLog, cbDiary, rbAll, rbRange, rbLastDays,
                                         rbLastWeeks, pckDateFrom, pckDateTo, edDays, edWeeks, btnFind})
        control->setEnabled(enabled);
    if (enabled)
        applyDateMode();
}

void TfmFind::applyDateMode()
{
    if (!btnFind->isEnabled())
        return; // locked until Reset
    pckDateFrom->setEnabled(rbRange->isChecked());
    pckDateTo->setEnabled(rbRange->isChecked());
    edDays->setEnabled(rbLastDays->isChecked());
    edWeeks->setEnabled(rbLastWeeks->isChecked());
}

void TfmFind::showResults(bool shown)
{
    pResults->setVisible(shown);
    layout()->activate();
    if (shown) {
        resize(width(), std::max(height(), minimumSizeHint().height() + resultsHeight));
    } else {
        resize(width(), sizeHint().height());
    }
}

Find::Parameters TfmFind::parameters() const
{
    Find::Parameters p;
    p.text = edFind->currentText();
    p.caseSensitive = cbCase->isChecked();
    p.activeTasks = cbActive->isChecked() && !cbActive->isHidden();
    p.taskLog = cbLog->isChecked() && !cbLog->isHidden();
    p.diary = cbDiary->isChecked() && !cbDiary->isHidden();
    if (rbRange->isChecked())
        p.dateMode = Find::DateMode::Range;
    else if (rbLastDays->isChecked())
        p.dateMode = Find::DateMode::LastDays;
    else if (rbLastWeeks->isChecked())
        p.dateMode = Find::DateMode::LastWeeks;
    p.from = pckDateFrom->date();
    p.to = pckDateTo->date();
    p.days = edDays->value();
    p.weeks = edWeeks->value();
    return p;
}

void TfmFind::btnFindClick()
{
    if (!btnFind->isEnabled())
        return;
    const Find::Parameters p = parameters();
    // Every search goes to the top of the history, repeats included; an empty text is not worth keeping.
    if (!p.text.isEmpty()) {
        edFind->insertItem(0, p.text);
        edFind->setCurrentIndex(0);
    }
    if (const QList<int> refused = Find::refusal(p); !refused.isEmpty()) {
        QString text;
        for (const int number : refused)
            text += (text.isEmpty() ? QString() : QStringLiteral("\r\n")) + LanguageString(number);
        Ask::critical(this, text);
        return;
    }

    setParametersEnabled(false);
    showResults(true);
    pStatus->setText(LanguageString(568));
    m_results->clear();
    QList<Find::Hit> hits = Find::search(p, m_sources, Clock::current().today());
    const int count = int(hits.size());
    m_results->setHits(std::move(hits));
    gridSearch->resizeColumnsToContents();
    if (count > 0) {
        pStatus->setText(LanguageString(570) + QString::number(count) + LanguageString(571));
        btnGoto->setEnabled(true);
        gridSearch->selectRow(0);
        gridSearch->setFocus();
    }
}

void TfmFind::btnGotoClick()
{
    const Find::Hit* hit = m_results->hitAt(gridSearch->currentIndex().row());
    if (hit == nullptr)
        return;
    switch (hit->place) {
    case Find::Place::Diary:
        Q_EMIT gotoDiaryRequested(hit->diaryDate);
        break;
    case Find::Place::TaskLog:
        LogRowToShow = hit->row;
        break;
    case Find::Place::ActiveTasks:
        Q_EMIT gotoTaskRequested(hit->row);
        break;
    }
    accept();
}

void TfmFind::done(int result)
{
    storeFormPlacement(this, m_settings, Settings::Forms::FindForm);
    QDialog::done(result);
}
