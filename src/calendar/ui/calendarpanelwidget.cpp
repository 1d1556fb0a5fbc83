#include "calendar/ui/calendarpanelwidget.h"

#include "calendar/ui/monthcalendar.h"
#include "core/applanguage.h"
#include "core/clock.h"
#include "core/dataset.h"
#include "core/formatsettings.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/ui/memocommands.h"
#include "core/ui/programicons.h"
#include "core/ui/widgetnames.h"

#include <QAction>
#include <QActionGroup>
#include <QCalendarWidget>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTextCursor>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QColor mixed(const QColor& a, const QColor& b, qreal share)
{
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * share),
                            float(a.greenF() + (b.greenF() - a.greenF()) * share),
                            float(a.blueF() + (b.blueF() - a.blueF()) * share));
}

// The page buttons' glyphs, drawn so they stay sharp at any scale.
QIcon pageIcon(int page, const QColor& ink, const QColor& accent)
{
    QIcon icon;
    for (const int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 16.0, size / 16.0);
        painter.setPen(QPen(ink, 1.2));
        switch (page) {
        case TCalendarPanelWidget::DayInfoPage: {
            painter.setBrush(accent);
            painter.drawEllipse(QRectF(1.5, 1.5, 13, 13));
            painter.setPen(Qt::NoPen);
            painter.setBrush(Qt::white);
            painter.drawEllipse(QRectF(7, 3.6, 2.2, 2.2));
            painter.drawRoundedRect(QRectF(7.1, 6.8, 2.0, 5.8), 0.8, 0.8);
            break;
        }
        case TCalendarPanelWidget::DiaryPage: {
            painter.setBrush(Qt::white);
            painter.drawRoundedRect(QRectF(2.5, 1.5, 11, 13), 1.5, 1.5);
            painter.setPen(QPen(accent, 1.1));
            for (const qreal y : {5.0, 7.8, 10.6})
                painter.drawLine(QPointF(4.8, y), QPointF(11.2, y));
            painter.setPen(QPen(ink, 1.6));
            painter.drawLine(QPointF(2.5, 3), QPointF(2.5, 13));
            break;
        }
        default: {
            painter.setBrush(Qt::white);
            painter.drawRoundedRect(QRectF(1.5, 2.5, 13, 12), 1.5, 1.5);
            painter.setPen(Qt::NoPen);
            painter.setBrush(accent);
            painter.drawRect(QRectF(1.5, 2.5, 13, 3));
            painter.setBrush(ink);
            for (int row = 0; row < 2; ++row)
                for (int column = 0; column < 4; ++column)
                    painter.drawRect(QRectF(3.2 + column * 2.6, 7.3 + row * 3.0, 1.6, 1.6));
            break;
        }
        }
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

TCalendarPanelWidget::TCalendarPanelWidget(SettingsStore& settings, DataSet& data, QWidget* parent)
    : QWidget(parent), m_settings(settings),
      m_panel(data.MainGrid, data.gridDiary, data.gridSpecial, ::Clock::current().today()), m_watch(0)
{
    setObjectName(QStringLiteral("TCalendarPanelWidget"));
    // A side panel: a point smaller than the window's text keeps seven calendar rows readable in
    // the bottom area's default height.
    QFont panelFont = font();
    panelFont.setPointSizeF(std::max(7.5, panelFont.pointSizeF() - 1));
    setFont(panelFont);
    applySettings();

    createActions();
    createBar();
    createPages();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(pnlDateBar);
    layout->addWidget(pZodiak);
    layout->addWidget(m_pages, 1);

    // Nothing typed yet: the first load must not write an empty memo into the diary.
    m_panel.diary().setStoreEnabled(false);
    m_panel.RefreshDayPanel();
    showResults();
    setPage(m_settings.readInteger(Settings::Other, Settings::Calendar, DayInfoPage));
    lblClock->setText(formatDateTime(QStringLiteral("h:nn AM/PM"), ::Clock::current().now()));
    // The week start and the day-change check follow the preferences at once.
    connect(&m_settings, &SettingsStore::sectionChanged, this, [this](const QString& section) {
        if (section.compare(Settings::Calendar, Qt::CaseInsensitive) == 0 ||
            section.compare(Settings::Icon, Qt::CaseInsensitive) == 0)
            applySettings();
    });
}

TCalendarPanelWidget::~TCalendarPanelWidget() = default;

bool TCalendarPanelWidget::eventFilter(QObject* watched, QEvent* event)
{
    // Leaving the diary puts its text into the table, so every later save has it.
    if (watched == memoDiary && event->type() == QEvent::FocusOut && m_memoDirty)
        storeMemo();
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Building

void TCalendarPanelWidget::createActions()
{
    miDayInfo = makeAction(this, QStringLiteral("miDayInfo"), QStringLiteral("Day &information"),
                           QKeySequence(Qt::SHIFT | Qt::Key_F1));
    miDiary =
        makeAction(this, QStringLiteral("miDiary"), QStringLiteral("&Diary"), QKeySequence(Qt::SHIFT | Qt::Key_F2));
    miMonthly = makeAction(this, QStringLiteral("miMonthly"), QStringLiteral("&Monthly view"),
                           QKeySequence(Qt::SHIFT | Qt::Key_F3));
    m_pageGroup = new QActionGroup(this);
    for (QAction* action : {miDayInfo, miDiary, miMonthly}) {
        action->setCheckable(true);
        m_pageGroup->addAction(action);
    }
    connect(miDayInfo, &QAction::triggered, this, [this] { setPage(DayInfoPage); });
    connect(miDiary, &QAction::triggered, this, [this] { setPage(DiaryPage); });
    connect(miMonthly, &QAction::triggered, this, [this] { setPage(MonthlyPage); });

    Gototoday1 = makeAction(this, QStringLiteral("Gototoday1"), QStringLiteral("Goto &today"),
                            QKeySequence(Qt::CTRL | Qt::Key_T));
    connect(Gototoday1, &QAction::triggered, this, &TCalendarPanelWidget::Gototoday1Click);
    // Common desktops take Ctrl+Alt+Left and Right for switching workspaces: the menu shows the
    // first key, one that desktops leave to the program; the other still works where it arrives.
    aPrevDiaryEntry = makeAction(this, QStringLiteral("aPrevDiaryEntry"), QStringLiteral("&Previous diary entry"));
    aPrevDiaryEntry->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_PageUp), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Left)});
    connect(aPrevDiaryEntry, &QAction::triggered, this, &TCalendarPanelWidget::aPrevDiaryEntryExecute);
    aNextDiaryEntry = makeAction(this, QStringLiteral("aNextDiaryEntry"), QStringLiteral("&Next diary entry"));
    aNextDiaryEntry->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_PageDown), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Right)});
    connect(aNextDiaryEntry, &QAction::triggered, this, &TCalendarPanelWidget::aNextDiaryEntryExecute);
    Specialdays1 = makeAction(this, QStringLiteral("Specialdays1"), QStringLiteral("&Special days list..."),
                              QKeySequence(Qt::Key_F11));
    connect(Specialdays1, &QAction::triggered, this, &TCalendarPanelWidget::specialDaysRequested);

    // The keys work wherever the panel's window is active, with or without the menu.
    addActions({miDayInfo, miDiary, miMonthly, Gototoday1, aPrevDiaryEntry, aNextDiaryEntry, Specialdays1});

    pmCalendar = new QMenu(this);
    pmCalendar->setObjectName(QStringLiteral("pmCalendar"));
    pmCalendar->addAction(QStringLiteral("Edit special days list..."), this,
                          &TCalendarPanelWidget::specialDaysRequested);
    pmCalendar->addSeparator();
    pmCalendar->addAction(QStringLiteral("Go to the Day info"), this, [this] { setPage(DayInfoPage); });
    pmCalendar->addAction(QStringLiteral("Go to the Diary"), this, [this] { setPage(DiaryPage); });
    pmCalendar->addAction(QStringLiteral("Go to the Monthly view"), this, [this] { setPage(MonthlyPage); });
}

void TCalendarPanelWidget::fillCalendarMenu(QMenu* menu) const
{
    menu->addActions({miDayInfo, miDiary, miMonthly});
    menu->addSeparator();
    menu->addActions({Gototoday1, aPrevDiaryEntry, aNextDiaryEntry});
    menu->addSeparator();
    menu->addAction(Specialdays1);
}

QToolButton* TCalendarPanelWidget::barButton(const QString& name, const QString& text, const QString& tip)
{
    auto* button = new QToolButton;
    button->setObjectName(name);
    button->setText(text);
    button->setToolTip(tip);
    button->setStatusTip(tip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

void TCalendarPanelWidget::createBar()
{
    pnlDateBar = new QFrame;
    pnlDateBar->setObjectName(QStringLiteral("pnlDateBar"));
    const QPalette& pal = palette();
    const QColor window = pal.color(QPalette::Window);
    const QColor accent = pal.color(QPalette::Highlight);
    pnlDateBar->setStyleSheet(
        QStringLiteral("#pnlDateBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %1, stop:1 %2);"
                       " border: 1px solid %3; border-radius: 4px; }")
            .arg(mixed(window, Qt::white, 0.55).name(), mixed(window, accent, 0.12).name(),
                 mixed(window, accent, 0.40).name()));

    btnGotoToday = barButton(QStringLiteral("btnGotoToday"), QStringLiteral("Today"), QStringLiteral("Go to today"));
    SpeedButton2 =
        barButton(QStringLiteral("SpeedButton2"), QStringLiteral("Date"), QStringLiteral("Click to pick date"));
    btnPrevMonth =
        barButton(QStringLiteral("btnPrevMonth"), QStringLiteral("\u00AB"), QStringLiteral("Previous month"));
    SpeedButton1 = barButton(QStringLiteral("SpeedButton1"), QStringLiteral("\u2039"), QStringLiteral("Previous day"));
    SpeedButton3 = barButton(QStringLiteral("SpeedButton3"), QStringLiteral("\u00BB"), QStringLiteral("Next month"));
    btnNextDay = barButton(QStringLiteral("btnNextDay"), QStringLiteral("\u203A"), QStringLiteral("Next day"));
    btnPrevMonth->setIcon(programImage("prevmonth"));
    SpeedButton1->setIcon(programImage("prevday"));
    btnNextDay->setIcon(programImage("nextday"));
    SpeedButton3->setIcon(programImage("nextmonth"));
    for (QToolButton* button : {btnPrevMonth, SpeedButton1, btnNextDay, SpeedButton3}) {
        button->setFixedSize(22, 19);
        button->setAutoRepeat(true);
    }
    for (QToolButton* button : {btnGotoToday, SpeedButton2})
        button->setFixedHeight(19);

    const QColor ink = pal.color(QPalette::ButtonText);
    btnDayInfo = barButton(QStringLiteral("btnDayInfo"), QString(), QStringLiteral("Day info"));
    btnDiary = barButton(QStringLiteral("btnDiary"), QString(), QStringLiteral("Diary"));
    btnMonthly = barButton(QStringLiteral("btnMonthly"), QString(), QStringLiteral("Monthly view"));
    btnDayInfo->setStatusTip(QStringLiteral("Switch to day info"));
    btnDiary->setStatusTip(QStringLiteral("Switch to Diary"));
    btnMonthly->setStatusTip(QStringLiteral("Switch to Monthly view"));
    const QList<QToolButton*> pageButtons{btnDayInfo, btnDiary, btnMonthly};
    for (int page = 0; page < pageButtons.size(); ++page) {
        QToolButton* button = pageButtons.at(page);
        button->setIcon(pageIcon(page, ink, accent));
        button->setIconSize(QSize(16, 16));
        button->setFixedSize(22, 19);
        button->setCheckable(true);
        button->setAutoExclusive(true);
    }

    lblDate = new QLabel;
    lblDate->setObjectName(QStringLiteral("lblDate"));
    lblDate1 = new QLabel;
    lblDate1->setObjectName(QStringLiteral("lblDate1"));
    QFont captionFont = font();
    captionFont.setBold(true);
    lblDate1->setFont(captionFont);
    captionFont.setPointSizeF(captionFont.pointSizeF() + 1);
    lblDate->setFont(captionFont);
    for (QLabel* label : {lblDate, lblDate1}) {
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(40);
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    QPalette captionPalette = lblDate1->palette();
    captionPalette.setColor(QPalette::WindowText, mixed(pal.color(QPalette::WindowText), accent, 0.55));
    lblDate1->setPalette(captionPalette);

    // Two rows: the day and month steps around the date, then the commands around the weekday.
    // Each caption takes the room its row leaves, so the date is never cut at the default width.
    auto row = [](QWidget* caption, std::initializer_list<QWidget*> left, std::initializer_list<QWidget*> right) {
        auto* box = new QHBoxLayout;
        box->setSpacing(1);
        for (QWidget* widget : left)
            box->addWidget(widget);
        box->addWidget(caption, 1);
        for (QWidget* widget : right)
            box->addWidget(widget);
        return box;
    };
    auto* bar = new QVBoxLayout(pnlDateBar);
    bar->setContentsMargins(2, 1, 2, 1);
    bar->setSpacing(0);
    bar->addLayout(row(lblDate, {btnPrevMonth, SpeedButton1}, {btnNextDay, SpeedButton3}));
    bar->addLayout(row(lblDate1, {btnGotoToday, SpeedButton2}, {btnDayInfo, btnDiary, btnMonthly}));

    connect(btnGotoToday, &QToolButton::clicked, this, &TCalendarPanelWidget::Gototoday1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TCalendarPanelWidget::lblDateClick);
    connect(btnPrevMonth, &QToolButton::clicked, this, &TCalendarPanelWidget::btnPrevMonthClick);
    connect(SpeedButton1, &QToolButton::clicked, this, &TCalendarPanelWidget::btnPrevDayClick);
    connect(SpeedButton3, &QToolButton::clicked, this, &TCalendarPanelWidget::btnNextMonthClick);
    connect(btnNextDay, &QToolButton::clicked, this, &TCalendarPanelWidget::btnNextDayClick);
    connect(btnDayInfo, &QToolButton::clicked, this, &TCalendarPanelWidget::btnDayInfoClick);
    connect(btnDiary, &QToolButton::clicked, this, &TCalendarPanelWidget::btnDiaryClick);
    connect(btnMonthly, &QToolButton::clicked, this, &TCalendarPanelWidget::btnMonthlyClick);
}

// The date picker behind "Date": a calendar that drops down under the button. Made when first
// wanted, as a month calendar costs start-up time.
void TCalendarPanelWidget::createDatePicker()
{
    m_datePopup = new QFrame(this, Qt::Popup);
    m_datePopup->setObjectName(QStringLiteral("pnlDatePopup"));
    m_datePopup->setFrameShape(QFrame::StyledPanel);
    HiddenPopupDateEdit = new QCalendarWidget(m_datePopup);
    HiddenPopupDateEdit->setObjectName(QStringLiteral("HiddenPopupDateEdit"));
    HiddenPopupDateEdit->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    HiddenPopupDateEdit->setGridVisible(false);
    auto* popupLayout = new QVBoxLayout(m_datePopup);
    popupLayout->setContentsMargins(1, 1, 1, 1);
    popupLayout->addWidget(HiddenPopupDateEdit);
    const auto picked = [this](const QDate& date) {
        m_datePopup->hide();
        CalendarChange(date);
    };
    connect(HiddenPopupDateEdit, &QCalendarWidget::clicked, this, picked);
    connect(HiddenPopupDateEdit, &QCalendarWidget::activated, this, picked);
}

void TCalendarPanelWidget::createPages()
{
    // Day and week line with the clock.
    pZodiak = new QWidget;
    pZodiak->setObjectName(QStringLiteral("pZodiak"));
    QFont small = font();
    small.setPointSizeF(std::max(6.5, small.pointSizeF() - 0.5));
    pZodiak->setFont(small);
    lblDay = new QLabel(QStringLiteral("365/365"));
    lblDay->setObjectName(QStringLiteral("lblDay"));
    lblWeek = new QLabel(QStringLiteral("56/56"));
    lblWeek->setObjectName(QStringLiteral("lblWeek"));
    lblClock = new QLabel;
    lblClock->setObjectName(QStringLiteral("Clock"));
    lblClock->setToolTip(QStringLiteral("Current time"));
    QFont clockFont = small;
    clockFont.setBold(true);
    lblClock->setFont(clockFont);
    QPalette mutedPalette = pZodiak->palette();
    mutedPalette.setColor(QPalette::WindowText,
                          mixed(palette().color(QPalette::WindowText), palette().color(QPalette::Window), 0.35));
    auto* dayCaption = new QLabel(QStringLiteral("Day:"));
    auto* weekCaption = new QLabel(QStringLiteral("Week:"));
    dayCaption->setPalette(mutedPalette);
    weekCaption->setPalette(mutedPalette);
    auto* zodiakLayout = new QHBoxLayout(pZodiak);
    zodiakLayout->setContentsMargins(4, 0, 4, 0);
    zodiakLayout->setSpacing(3);
    zodiakLayout->addWidget(dayCaption);
    zodiakLayout->addWidget(lblDay);
    zodiakLayout->addSpacing(10);
    zodiakLayout->addWidget(weekCaption);
    zodiakLayout->addWidget(lblWeek);
    zodiakLayout->addStretch(1);
    zodiakLayout->addWidget(lblClock);

    m_pages = new QStackedWidget;
    m_pages->setObjectName(QStringLiteral("pcCalendar"));

    // Day info.
    auto* dayInfoPage = new QWidget;
    dayInfoPage->setObjectName(QStringLiteral("tsDayInfo"));
    lbSpecial = new QListWidget;
    lbSpecial->setObjectName(QStringLiteral("lbSpecial"));
    lbSpecial->setFrameShape(QFrame::NoFrame);
    lbSpecial->setToolTip(QStringLiteral("List of special events"));
    lbSpecial->setFocusPolicy(Qt::ClickFocus);
    // The bottom area starts 139 pixels high; the pages must fit in what the bar leaves.
    lbSpecial->setMinimumHeight(28);
    QPalette listPalette = lbSpecial->palette();
    listPalette.setColor(QPalette::Base, palette().color(QPalette::Window));
    lbSpecial->setPalette(listPalette);
    lbSpecial->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lbSpecial, &QListWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { pmCalendar->popup(lbSpecial->viewport()->mapToGlobal(pos)); });
    btnHint = new QPushButton;
    btnHint->setObjectName(QStringLiteral("btnHint"));
    btnHint->setFlat(true);
    btnHint->setToolTip(QStringLiteral("Smart hint"));
    btnHint->setCursor(Qt::PointingHandCursor);
    btnHint->setFocusPolicy(Qt::NoFocus);
    QPalette hintPalette = btnHint->palette();
    hintPalette.setColor(QPalette::ButtonText, QColor(0, 70, 190));
    btnHint->setPalette(hintPalette);
    connect(btnHint, &QPushButton::clicked, this, &TCalendarPanelWidget::btnHintClick);
    auto* dayInfoLayout = new QVBoxLayout(dayInfoPage);
    dayInfoLayout->setContentsMargins(0, 0, 0, 0);
    dayInfoLayout->setSpacing(0);
    dayInfoLayout->addWidget(lbSpecial, 1);
    dayInfoLayout->addWidget(btnHint);

    // Diary.
    auto* diaryPage = new QWidget;
    diaryPage->setObjectName(QStringLiteral("tsDiary"));
    auto* diaryCaption = new QLabel(QStringLiteral(" Diary:"));
    QFont bold = font();
    bold.setBold(true);
    diaryCaption->setFont(bold);
    auto* btnPrevEntry =
        barButton(QStringLiteral("btnPrevEntry"), QStringLiteral("Prev entry"), QStringLiteral("Previous diary entry"));
    auto* btnNextEntry =
        barButton(QStringLiteral("btnNextEntry"), QStringLiteral("Next entry"), QStringLiteral("Next diary entry"));
    connect(btnPrevEntry, &QToolButton::clicked, this, &TCalendarPanelWidget::aPrevDiaryEntryExecute);
    connect(btnNextEntry, &QToolButton::clicked, this, &TCalendarPanelWidget::aNextDiaryEntryExecute);
    memoDiary = new QPlainTextEdit;
    memoDiary->setObjectName(QStringLiteral("memoDiary"));
    memoDiary->setToolTip(QStringLiteral("Diary"));
    memoDiary->setTabChangesFocus(false);
    memoDiary->setMinimumHeight(30);
    memoDiary->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The selection stays visible when the memo loses the focus.
    QPalette memoPalette = memoDiary->palette();
    memoPalette.setColor(QPalette::Inactive, QPalette::Highlight,
                         memoPalette.color(QPalette::Active, QPalette::Highlight));
    memoPalette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                         memoPalette.color(QPalette::Active, QPalette::HighlightedText));
    memoDiary->setPalette(memoPalette);
    installMemoCommands(memoDiary);
    memoDiary->installEventFilter(this);
    connect(memoDiary, &QPlainTextEdit::textChanged, this, &TCalendarPanelWidget::memoDiaryChange);
    auto* captionRow = new QHBoxLayout;
    captionRow->setSpacing(1);
    captionRow->addWidget(diaryCaption);
    captionRow->addStretch(1);
    captionRow->addWidget(btnPrevEntry);
    captionRow->addWidget(btnNextEntry);
    auto* diaryLayout = new QVBoxLayout(diaryPage);
    diaryLayout->setContentsMargins(0, 0, 0, 0);
    diaryLayout->setSpacing(1);
    diaryLayout->addLayout(captionRow);
    diaryLayout->addWidget(memoDiary, 1);

    // Monthly view.
    Calendar = new TMonthCalendar(m_panel);
    Calendar->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Calendar, &TMonthCalendar::customContextMenuRequested, this,
            [this](const QPoint& pos) { pmCalendar->popup(Calendar->mapToGlobal(pos)); });
    connect(Calendar, &TMonthCalendar::dayClicked, this, &TCalendarPanelWidget::CalendarChange);
    connect(Calendar, &TMonthCalendar::monthStepRequested, this, &TCalendarPanelWidget::monthStep);
    connect(Calendar, &TMonthCalendar::doubleClicked, this, &TCalendarPanelWidget::CalendarDblClick);

    m_pages->addWidget(dayInfoPage);
    m_pages->addWidget(diaryPage);
    m_pages->addWidget(Calendar);
}

// ---------------------------------------------------------------------------------------------
// Showing the logic's results

void TCalendarPanelWidget::showResults()
{
    lblDate->setText(m_panel.lblDate());
    lblDate1->setText(m_panel.lblDate1());
    lblDay->setText(m_panel.lblDay());
    lblWeek->setText(m_panel.lblWeek());

    lbSpecial->clear();
    const QStringList& lines = m_panel.dayInfoLines();
    const int tasksCaption = int(lines.indexOf(QString())) + 1; // the line after the first empty one
    for (int i = 0; i < lines.size(); ++i) {
        auto* item = new QListWidgetItem(lines.at(i), lbSpecial);
        if (i < tasksCaption - 1) {
            QFont font = lbSpecial->font();
            font.setBold(true);
            item->setFont(font);
            item->setForeground(QColor(168, 84, 0));
        } else if (i == tasksCaption) {
            QFont font = lbSpecial->font();
            font.setBold(true);
            item->setFont(font);
        }
    }
    btnHint->setText(LanguageString(m_panel.smartHint().captionString));

    if (HiddenPopupDateEdit != nullptr) {
        const QSignalBlocker blocker(HiddenPopupDateEdit);
        HiddenPopupDateEdit->setSelectedDate(m_panel.CalendarDate());
    }
    showMemo();
    Calendar->update();
}

void TCalendarPanelWidget::showMemo()
{
    const QString& text = m_panel.diary().memoText();
    const QDate& date = m_panel.diary().DiaryMemoDate();
    if (memoDiary->toPlainText() != text) {
        m_loadingMemo = true;
        const int caret = memoDiary->textCursor().position();
        memoDiary->setPlainText(text);
        // A refresh of the same day (TAB turned into blanks) keeps the caret near where it was.
        if (date == m_shownMemoDate) {
            QTextCursor cursor = memoDiary->textCursor();
            cursor.setPosition(std::min(caret, int(text.size())));
            memoDiary->setTextCursor(cursor);
        }
        m_loadingMemo = false;
    }
    m_shownMemoDate = date;
    // The table now holds what the memo shows: storing again could only write stale text over a
    // table that was replaced meanwhile (a data set opened or restored).
    m_memoDirty = false;
    m_panel.diary().setStoreEnabled(false);
}

void TCalendarPanelWidget::memoDiaryChange()
{
    if (m_loadingMemo)
        return;
    m_panel.diary().setMemoText(memoDiary->toPlainText());
    m_memoDirty = true;
    m_panel.diary().setStoreEnabled(true);
}

void TCalendarPanelWidget::storeMemo()
{
    m_panel.diary().StoreDiaryMemo();
    m_memoDirty = false;
    m_panel.diary().setStoreEnabled(false);
}

void TCalendarPanelWidget::syncPageChecks(int page)
{
    const QList<QToolButton*> buttons{btnDayInfo, btnDiary, btnMonthly};
    const QList<QAction*> items{miDayInfo, miDiary, miMonthly};
    buttons.at(page)->setChecked(true);
    items.at(page)->setChecked(true);
}

// ---------------------------------------------------------------------------------------------
// Public commands

void TCalendarPanelWidget::setCalendarDate(const QDate& date)
{
    CalendarChange(date);
}

int TCalendarPanelWidget::page() const
{
    return m_pages->currentIndex();
}

void TCalendarPanelWidget::setPage(int page)
{
    switch (page) {
    case DiaryPage:
        btnDiaryClick();
        break;
    case MonthlyPage:
        btnMonthlyClick();
        break;
    default:
        btnDayInfoClick();
        break;
    }
}

void TCalendarPanelWidget::refreshTaskMarks()
{
    m_panel.RefreshDayPanel();
    showResults();
}

void TCalendarPanelWidget::refreshAll()
{
    m_panel.diary().setStoreEnabled(m_memoDirty);
    m_panel.RefreshDayPanel();
    showResults();
}

void TCalendarPanelWidget::refreshAll(const QDate& date)
{
    m_panel.diary().setStoreEnabled(m_memoDirty);
    m_panel.setCalendarDate(date);
    showResults();
}

void TCalendarPanelWidget::storeDiary()
{
    storeMemo();
}

void TCalendarPanelWidget::applySettings()
{
    m_panel.setWeekStart(m_settings.readInteger(Settings::Calendar, Settings::WeekStart, 0));
    m_watch.setDayRefreshEnabled(m_settings.readInteger(Settings::Icon, Settings::IconStyle, 1) == 1 ||
                                 m_settings.readBool(Settings::Icon, Settings::StarIcon, true));
    if (Calendar != nullptr)
        Calendar->update();
}

void TCalendarPanelWidget::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        showResults();
}

void TCalendarPanelWidget::ClockGetTime(qint64 monotonicMs)
{
    lblClock->setText(formatDateTime(QStringLiteral("h:nn AM/PM"), ::Clock::current().now()));
    if (m_watch.tick(monotonicMs).refresh()) {
        m_panel.Gototoday1Click();
        showResults();
        Q_EMIT dayChanged();
    }
}

// ---------------------------------------------------------------------------------------------
// Handlers

void TCalendarPanelWidget::btnDayInfoClick()
{
    storeMemo();
    m_pages->setCurrentIndex(DayInfoPage);
    syncPageChecks(DayInfoPage);
    pZodiak->show();
}

void TCalendarPanelWidget::btnDiaryClick()
{
    m_pages->setCurrentIndex(DiaryPage);
    syncPageChecks(DiaryPage);
    pZodiak->show();
}

void TCalendarPanelWidget::btnMonthlyClick()
{
    storeMemo();
    m_panel.ComputeMonthMarks();
    m_pages->setCurrentIndex(MonthlyPage);
    syncPageChecks(MonthlyPage);
    pZodiak->hide();
    Calendar->update();
}

void TCalendarPanelWidget::btnPrevDayClick()
{
    m_panel.btnPrevDayClick();
    showResults();
}

void TCalendarPanelWidget::btnNextDayClick()
{
    m_panel.btnNextDayClick();
    showResults();
}

void TCalendarPanelWidget::btnPrevMonthClick()
{
    m_panel.btnPrevMonthClick();
    showResults();
}

void TCalendarPanelWidget::btnNextMonthClick()
{
    m_panel.btnNextMonthClick();
    showResults();
}

void TCalendarPanelWidget::monthStep(int step)
{
    if (step < 0)
        btnPrevMonthClick();
    else
        btnNextMonthClick();
}

void TCalendarPanelWidget::Gototoday1Click()
{
    m_panel.Gototoday1Click();
    showResults();
}

void TCalendarPanelWidget::lblDateClick()
{
    storeMemo();
    if (HiddenPopupDateEdit == nullptr)
        createDatePicker();
    const int weekStart = m_panel.weekStart();
    HiddenPopupDateEdit->setFirstDayOfWeek(weekStart == 0 ? Qt::Sunday : Qt::DayOfWeek(weekStart));
    HiddenPopupDateEdit->setSelectedDate(m_panel.CalendarDate());
    m_datePopup->adjustSize();
    m_datePopup->move(SpeedButton2->mapToGlobal(QPoint(0, SpeedButton2->height())));
    m_datePopup->show();
    HiddenPopupDateEdit->setFocus();
}

void TCalendarPanelWidget::btnHintClick()
{
    switch (m_panel.smartHint().action) {
    case SmartHint::GoToToday:
        Gototoday1Click();
        break;
    case SmartHint::NextDay:
        btnNextDayClick();
        break;
    case SmartHint::EditSpecialDays:
        Q_EMIT specialDaysRequested();
        break;
    }
}

void TCalendarPanelWidget::CalendarChange(const QDate& date)
{
    if (!date.isValid())
        return;
    m_panel.setCalendarDate(date);
    showResults();
}

void TCalendarPanelWidget::CalendarDblClick()
{
    setPage(m_settings.readInteger(Settings::Calendar, Settings::Click, 0) == 1 ? DiaryPage : DayInfoPage);
}

void TCalendarPanelWidget::aPrevDiaryEntryExecute()
{
    setPage(DiaryPage);
    m_panel.aPrevDiaryEntryExecute();
    showResults();
}

void TCalendarPanelWidget::aNextDiaryEntryExecute()
{
    setPage(DiaryPage);
    m_panel.aNextDiaryEntryExecute();
    showResults();
}
