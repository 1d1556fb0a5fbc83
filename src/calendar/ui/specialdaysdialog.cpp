#include "calendar/ui/specialdaysdialog.h"

#include "core/applanguage.h"
#include "core/clock.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/ui/ask.h"
#include "core/ui/confirmbox.h"
#include "core/ui/formplacement.h"
#include "core/ui/widgetnames.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QString joinedStrings(const QList<int>& numbers)
{
    QStringList texts;
    for (const int number : numbers)
        texts.append(LanguageString(number));
    return texts.join(u'\n');
}

// Month and day change by the spin buttons and arrow keys only: a typed "3" on its way to "31"
// would pass through values the rule never meant.
QSpinBox* spinButtonsOnly(QSpinBox* spin, int maximum)
{
    spin->setRange(1, maximum);
    if (auto* edit = spin->findChild<QLineEdit*>())
        edit->setReadOnly(true);
    return spin;
}

} // namespace

TfmSpecial::TfmSpecial(SettingsStore& settings, TSortGrid& special, std::function<QString()> save, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_editor(special, std::move(save))
{
    setObjectName(QStringLiteral("TfmSpecial"));
    setWindowTitle(QStringLiteral("Special days"));

    Label3 = named(
        new QLabel(QStringLiteral("Please setup special days such as birthdays, anniversaries and holidays."), this),
        QStringLiteral("Label3"));

    lbDays = named(new QListWidget(this), QStringLiteral("lbDays"));
    lbDays->setSelectionMode(QAbstractItemView::SingleSelection);
    lbDays->setFixedWidth(220);
    auto* listLabel = new QLabel(QStringLiteral("Special days list:"), this);
    listLabel->setBuddy(lbDays);

    gbTime = named(new QGroupBox(QStringLiteral("Time"), this), QStringLiteral("gbTime"));
    rbMonth = named(new QRadioButton(QStringLiteral("Day of Month"), gbTime), QStringLiteral("rbMonth"));
    rbWeek = named(new QRadioButton(QStringLiteral("Day of Week"), gbTime), QStringLiteral("rbWeek"));
    spinMonth = named(spinButtonsOnly(new QSpinBox(gbTime), 12), QStringLiteral("spinMonth"));
    spinDay = named(spinButtonsOnly(new QSpinBox(gbTime), 31), QStringLiteral("spinDay"));
    auto* monthLabel = new QLabel(QStringLiteral("&Month:"), gbTime);
    monthLabel->setBuddy(spinMonth);
    auto* dayLabel = new QLabel(QStringLiteral("Da&y:"), gbTime);
    dayLabel->setBuddy(spinDay);
    auto* timeLayout = new QGridLayout(gbTime);
    timeLayout->addWidget(rbMonth, 0, 0, 1, 2);
    timeLayout->addWidget(rbWeek, 0, 2, 1, 2);
    timeLayout->addWidget(monthLabel, 1, 0);
    timeLayout->addWidget(spinMonth, 1, 1);
    timeLayout->addWidget(dayLabel, 1, 2);
    timeLayout->addWidget(spinDay, 1, 3);
    timeLayout->setColumnStretch(4, 1);

    rgWeek = named(new QGroupBox(QStringLiteral("Week"), this), QStringLiteral("rgWeek"));
    m_weekButtons = new QButtonGroup(this);
    auto* weekLayout = new QVBoxLayout(rgWeek);
    const QStringList weeks{QStringLiteral("1st"), QStringLiteral("2nd"), QStringLiteral("3rd"), QStringLiteral("4th"),
                            QStringLiteral("last")};
    for (int i = 0; i < weeks.size(); ++i) {
        auto* button = new QRadioButton(weeks.at(i), rgWeek);
        m_weekButtons->addButton(button, i);
        weekLayout->addWidget(button);
    }

    rgWeekDay = named(new QGroupBox(QStringLiteral("Week day"), this), QStringLiteral("rgWeekDay"));
    m_weekDayButtons = new QButtonGroup(this);
    auto* weekDayLayout = new QGridLayout(rgWeekDay);
    const QStringList weekDays{QStringLiteral("Sun"), QStringLiteral("Mon"), QStringLiteral("Tue"),
                               QStringLiteral("Wed"), QStringLiteral("Thu"), QStringLiteral("Fri"),
                               QStringLiteral("Sat")};
    for (int i = 0; i < weekDays.size(); ++i) {
        auto* button = new QRadioButton(weekDays.at(i), rgWeekDay);
        m_weekDayButtons->addButton(button, i);
        weekDayLayout->addWidget(button, i % 4, i / 4); // two columns, filled top to bottom
    }
    weekDayLayout->setRowStretch(4, 1);

    edDescription = named(new QLineEdit(this), QStringLiteral("edDescription"));
    auto* descriptionLabel = new QLabel(QStringLiteral("De&scription:"), this);
    descriptionLabel->setBuddy(edDescription);
    lblModified = named(new QLabel(QStringLiteral("[Modified]"), this), QStringLiteral("lblModified"));
    // Showing and hiding the mark must not make the fixed-size window jump.
    QSizePolicy keepSpace = lblModified->sizePolicy();
    keepSpace.setRetainSizeWhenHidden(true);
    lblModified->setSizePolicy(keepSpace);

    btnNew = named(new QPushButton(QStringLiteral("&New"), this), QStringLiteral("btnNew"));
    btnAdd = named(new QPushButton(QStringLiteral("&Add"), this), QStringLiteral("btnAdd"));
    btnChange = named(new QPushButton(QStringLiteral("Chan&ge"), this), QStringLiteral("btnChange"));
    btnDelete = named(new QPushButton(QStringLiteral("&Delete"), this), QStringLiteral("btnDelete"));
    btnClose = named(new QPushButton(QStringLiteral("&Close"), this), QStringLiteral("btnClose"));
    btnHelp = named(new QPushButton(QStringLiteral("&Help"), this), QStringLiteral("btnHelp"));
    offerHelpButton(btnHelp);
    // Enter in the description must not fire whichever button happens to be default.
    for (QPushButton* button : {btnNew, btnAdd, btnChange, btnDelete, btnClose, btnHelp})
        button->setAutoDefault(false);

    auto* groups = new QHBoxLayout;
    groups->addWidget(rgWeek);
    groups->addWidget(rgWeekDay, 1);

    auto* rule = new QVBoxLayout;
    rule->addWidget(gbTime);
    rule->addLayout(groups);
    rule->addStretch(1);

    auto* description = new QGridLayout;
    description->addWidget(descriptionLabel, 0, 0);
    description->addWidget(lblModified, 0, 1, Qt::AlignRight);
    description->addWidget(edDescription, 1, 0, 1, 2);
    rule->addLayout(description);

    auto* body = new QGridLayout;
    body->addWidget(listLabel, 0, 0);
    body->addWidget(lbDays, 1, 0);
    body->addLayout(rule, 1, 1);
    body->setHorizontalSpacing(12);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {btnNew, btnAdd, btnChange, btnDelete})
        buttons->addWidget(button);
    buttons->addStretch(1);
    buttons->addWidget(btnClose);
    buttons->addWidget(btnHelp);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label3);
    layout->addSpacing(4);
    layout->addLayout(body);
    layout->addSpacing(4);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(lbDays, &QListWidget::currentRowChanged, this, &TfmSpecial::lbDaysSelect);
    // Clicking the item already selected loads it again, dropping the edit.
    connect(lbDays, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { lbDaysSelect(lbDays->row(item)); });
    connect(rbMonth, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            rbMonthClick();
    });
    connect(rbWeek, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            rbWeekClick();
    });
    connect(spinMonth, &QSpinBox::valueChanged, this, &TfmSpecial::spinMonthChange);
    connect(spinDay, &QSpinBox::valueChanged, this, &TfmSpecial::spinDayChange);
    connect(m_weekButtons, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on)
            rgWeekClick(id);
    });
    connect(m_weekDayButtons, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on)
            rgWeekDayClick(id);
    });
    connect(edDescription, &QLineEdit::textEdited, this, &TfmSpecial::edDescriptionChange);
    connect(btnNew, &QPushButton::clicked, this, &TfmSpecial::btnNewClick);
    connect(btnAdd, &QPushButton::clicked, this, &TfmSpecial::btnAddClick);
    connect(btnChange, &QPushButton::clicked, this, &TfmSpecial::btnChangeClick);
    connect(btnDelete, &QPushButton::clicked, this, &TfmSpecial::btnDeleteClick);
    connect(btnClose, &QPushButton::clicked, this, &TfmSpecial::reject);
    connect(btnHelp, &QPushButton::clicked, this, [this] { Q_EMIT helpRequested(QStringLiteral("special")); });

    showList();
    showRule();
    showStates();

    layout->activate();
    adjustSize();
    if (m_settings.valueExists(Settings::Forms::SpecialForm, Settings::Left)) {
        restoreFormPlacement(this, m_settings, Settings::Forms::SpecialForm);
    } else if (const QScreen* screen = parent != nullptr ? parent->screen() : this->screen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void TfmSpecial::showList()
{
    const QSignalBlocker block(lbDays);
    lbDays->clear();
    lbDays->addItems(m_editor.items());
    lbDays->setCurrentRow(m_editor.selectedIndex());
    if (m_editor.selectedIndex() < 0)
        lbDays->clearSelection();
}

void TfmSpecial::showRule()
{
    const QSignalBlocker blockMonthRadio(rbMonth);
    const QSignalBlocker blockWeekRadio(rbWeek);
    const QSignalBlocker blockMonth(spinMonth);
    const QSignalBlocker blockDay(spinDay);
    const QSignalBlocker blockWeek(m_weekButtons);
    const QSignalBlocker blockWeekDay(m_weekDayButtons);
    (m_editor.isWeekRule() ? rbWeek : rbMonth)->setChecked(true);
    spinMonth->setValue(m_editor.month());
    spinDay->setValue(m_editor.day());
    if (QAbstractButton* button = m_weekButtons->button(m_editor.weekIndex()))
        button->setChecked(true);
    if (QAbstractButton* button = m_weekDayButtons->button(m_editor.weekdayIndex()))
        button->setChecked(true);
    if (edDescription->text() != m_editor.description())
        edDescription->setText(m_editor.description());
}

void TfmSpecial::showStates()
{
    spinDay->setEnabled(m_editor.dayEnabled());
    rgWeek->setEnabled(m_editor.weekGroupsEnabled());
    rgWeekDay->setEnabled(m_editor.weekGroupsEnabled());
    lblModified->setVisible(m_editor.hasUnappliedEdit());
    btnAdd->setEnabled(m_editor.addEnabled());
    btnChange->setEnabled(m_editor.changeEnabled());
}

bool TfmSpecial::report(const SpecialDaysEditor::Result& result)
{
    if (result.status == SpecialDaysEditor::Result::Refused) {
        const QString text = joinedStrings(result.strings);
        if (result.warning)
            Ask::warning(this, text);
        else
            Ask::critical(this, text);
        return false;
    }
    if (!result.fileError.isEmpty()) {
        Ask::critical(this, result.fileError);
        return false;
    }
    return true;
}

void TfmSpecial::lbDaysSelect(int row)
{
    m_editor.select(row);
    showRule();
    showStates();
}

void TfmSpecial::rbMonthClick()
{
    m_editor.setWeekRule(false);
    showStates();
}

void TfmSpecial::rbWeekClick()
{
    m_editor.setWeekRule(true);
    showStates();
}

void TfmSpecial::spinMonthChange(int value)
{
    m_editor.setMonth(value);
    showStates();
}

void TfmSpecial::spinDayChange(int value)
{
    m_editor.setDay(value);
    showStates();
}

void TfmSpecial::rgWeekClick(int index)
{
    m_editor.setWeekIndex(index);
    showStates();
}

void TfmSpecial::rgWeekDayClick(int index)
{
    m_editor.setWeekdayIndex(index);
    showStates();
}

void TfmSpecial::edDescriptionChange(const QString& text)
{
    m_editor.setDescription(text);
    // TAB and line breaks pasted into the box become blanks; show what will be stored.
    if (m_editor.description() != text) {
        const int cursor = edDescription->cursorPosition();
        edDescription->setText(m_editor.description());
        edDescription->setCursorPosition(cursor);
    }
    showStates();
}

void TfmSpecial::btnNewClick()
{
    m_editor.New(Clock::current().today());
    showList();
    showRule();
    showStates();
    edDescription->setFocus();
}

void TfmSpecial::btnAddClick()
{
    report(m_editor.Add());
    showList();
    showRule();
    showStates();
}

void TfmSpecial::btnChangeClick()
{
    if (!report(m_editor.checkChange()))
        return;
    if (!TfmConfirm::ask(this, m_settings, joinedStrings(SpecialDaysEditor::changeQuestion()), Settings::Confirmations,
                         Settings::SpecialChange))
        return;
    report(m_editor.Change());
    showList();
    showRule();
    showStates();
}

void TfmSpecial::btnDeleteClick()
{
    if (!report(m_editor.checkDelete()))
        return;
    if (!TfmConfirm::ask(this, m_settings, joinedStrings(SpecialDaysEditor::deleteQuestion()), Settings::Confirmations,
                         Settings::SpecialDeletion))
        return;
    report(m_editor.Delete());
    showList();
    showRule();
    showStates();
}

void TfmSpecial::done(int result)
{
    if (m_editor.closeNeedsConfirmation()) {
        const auto answer = Ask::question(this, joinedStrings(SpecialDaysEditor::closeQuestion()),
                                          QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return;
    }
    const QString error = m_editor.Close();
    if (!error.isEmpty())
        Ask::critical(this, error);
    storeFormPlacement(this, m_settings, Settings::Forms::SpecialForm);
    QDialog::done(result);
}
