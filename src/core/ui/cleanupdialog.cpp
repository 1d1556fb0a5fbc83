#include "core/ui/cleanupdialog.h"

#include "core/clock.h"

#include "core/applanguage.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/ui/confirmbox.h"
#include "core/ui/formplacement.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TfmCleanUp::TfmCleanUp(SettingsStore& settings, QWidget* parent) : QDialog(parent), m_settings(settings)
{
    setObjectName(QStringLiteral("TfmCleanUp"));
    setWindowTitle(QStringLiteral("Purge tasks to log"));
    setModal(true);

    m_completed = new QRadioButton(QStringLiteral("All completed tasks"), this);
    m_completed->setObjectName(QStringLiteral("rbCompleted"));
    m_completed->setChecked(true);
    m_all = new QRadioButton(QStringLiteral("All tasks"), this);
    m_all->setObjectName(QStringLiteral("rbAll"));
    m_before = new QRadioButton(QStringLiteral("All tasks with due date before..."), this);
    m_before->setObjectName(QStringLiteral("rbBefore"));
    m_date = new QDateEdit(Clock::current().today(), this);
    m_date->setObjectName(QStringLiteral("dtBefore"));
    m_date->setCalendarPopup(true);
    // 0 = Sunday ... 6 = Saturday; Qt counts Monday = 1 ... Sunday = 7.
    const int weekStart = std::clamp(m_settings.readInteger(Settings::Calendar, Settings::WeekStart, 0), 0, 6);
    m_date->calendarWidget()->setFirstDayOfWeek(Qt::DayOfWeek(weekStart == 0 ? 7 : weekStart));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("btnOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("btnCancel"));

    auto* beforeRow = new QHBoxLayout;
    beforeRow->addWidget(m_before);
    beforeRow->addWidget(m_date);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_completed);
    layout->addWidget(m_all);
    layout->addLayout(beforeRow);
    layout->addWidget(buttons);
    restoreFormPlacement(this, m_settings, Settings::Forms::CleanUpForm);

    connect(buttons, &QDialogButtonBox::accepted, this, &TfmCleanUp::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TfmCleanUp::reject);
}

DataSet::PurgeMode TfmCleanUp::mode() const
{
    if (m_all->isChecked())
        return DataSet::PurgeMode::AllTasks;
    if (m_before->isChecked())
        return DataSet::PurgeMode::DueBefore;
    return DataSet::PurgeMode::Completed;
}

QDate TfmCleanUp::beforeDate() const
{
    return m_date->date();
}

void TfmCleanUp::accept()
{
    if (!TfmConfirm::ask(this, m_settings, LanguageStrings({513, 514}), Settings::Confirmations, Settings::DataCleanup))
        return;
    QDialog::accept();
}

void TfmCleanUp::done(int result)
{
    storeFormPlacement(this, m_settings, Settings::Forms::CleanUpForm);
    QDialog::done(result);
}
