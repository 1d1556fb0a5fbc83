#include "tasks/ui/selectiondialog.h"

#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/ui/formplacement.h"
#include "core/ui/widgetnames.h"
#include "tasks/namemask.h"
#include "tasks/taskview.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCollator>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The names as a sorted check list shows them: without regard to case, blank names left out
// (an empty list file holds one blank row, which names nothing).
QStringList sortedNames(QStringList names)
{
    names.removeAll(QString());
    QCollator collator(QLocale::system());
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(names.begin(), names.end(),
                     [&collator](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    return names;
}

QListWidget* checkList(QWidget* parent, const QString& name, const QStringList& names)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    for (const QString& text : sortedNames(names)) {
        auto* item = new QListWidgetItem(text, list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    return list;
}

QLineEdit* maskBox(QWidget* parent, const QString& name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setToolTip(QStringLiteral("Wildcard: a name, or the start of names followed by *"));
    return edit;
}

QToolButton* maskButton(QWidget* parent, const QString& name)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(QStringLiteral("Tick"));
    button->setToolTip(QStringLiteral("Tick the names that match the wildcard"));
    return button;
}

} // namespace

TfmSelection::TfmSelection(SettingsStore& settings, const QStringList& projects, const QStringList& assignees,
                           QWidget* parent)
    : QDialog(parent), m_settings(settings)
{
    setObjectName(QStringLiteral("TfmSelection"));
    setWindowTitle(QStringLiteral("Filter"));

    auto* dateBox = new QGroupBox(QStringLiteral("Deadline"), this);
    dateBox->setObjectName(QStringLiteral("rgDate"));
    rgDate = new QButtonGroup(dateBox);
    auto* dateLayout = new QVBoxLayout(dateBox);
    const QStringList dateItems = {QStringLiteral("All dates"),  QStringLiteral("No due dates"),
                                   QStringLiteral("Today"),      QStringLiteral("Tomorow"),
                                   QStringLiteral("This week"),  QStringLiteral("Next week"),
                                   QStringLiteral("This month"), QStringLiteral("Recurring only")};
    for (int i = 0; i < dateItems.size(); ++i) {
        auto* radio = new QRadioButton(dateItems[i], dateBox);
        radio->setObjectName(QStringLiteral("rgDate%1").arg(i));
        rgDate->addButton(radio, i);
        dateLayout->addWidget(radio);
    }
    dateLayout->addStretch();

    clProjects = checkList(this, QStringLiteral("clProjects"), projects);
    clAssignees = checkList(this, QStringLiteral("clAssignees"), assignees);
    cbProject = new QCheckBox(QStringLiteral("Don't care"), this);
    cbProject->setObjectName(QStringLiteral("cbProject"));
    cbAssignee = new QCheckBox(QStringLiteral("Don't care"), this);
    cbAssignee->setObjectName(QStringLiteral("cbAssignee"));
    edMaskProject = maskBox(this, QStringLiteral("edMaskProject"));
    edMaskAssignee = maskBox(this, QStringLiteral("edMaskAssignee"));
    btnMaskProject = maskButton(this, QStringLiteral("btnMaskProject"));
    btnMaskAssignee = maskButton(this, QStringLiteral("btnMaskAssignee"));
    edMaskProject->installEventFilter(this);
    edMaskAssignee->installEventFilter(this);

    auto* projectsLabel = new QLabel(QStringLiteral("Projects:"), this);
    projectsLabel->setBuddy(clProjects);
    auto* assigneesLabel = new QLabel(QStringLiteral("Assignees:"), this);
    assigneesLabel->setBuddy(clAssignees);

    auto* lists = new QGridLayout;
    lists->addWidget(projectsLabel, 0, 0);
    lists->addWidget(assigneesLabel, 0, 1);
    lists->addWidget(clProjects, 1, 0);
    lists->addWidget(clAssignees, 1, 1);
    auto* projectMaskRow = new QHBoxLayout;
    projectMaskRow->addWidget(edMaskProject);
    projectMaskRow->addWidget(btnMaskProject);
    auto* assigneeMaskRow = new QHBoxLayout;
    assigneeMaskRow->addWidget(edMaskAssignee);
    assigneeMaskRow->addWidget(btnMaskAssignee);
    lists->addLayout(projectMaskRow, 2, 0);
    lists->addLayout(assigneeMaskRow, 2, 1);
    lists->addWidget(cbProject, 3, 0);
    lists->addWidget(cbAssignee, 3, 1);

    auto* btnClear = new QPushButton(QStringLiteral("Reset filter"), this);
    btnClear->setObjectName(QStringLiteral("btnClear"));
    btnClear->setAutoDefault(false);
    auto* btnOK = new QPushButton(QStringLiteral("&OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    auto* btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setAutoDefault(false);
    auto* btnHelp = new QPushButton(QStringLiteral("Help"), this);
    btnHelp->setObjectName(QStringLiteral("btnHelp"));
    btnHelp->setAutoDefault(false);
    offerHelpButton(btnHelp);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnClear);
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnHelp);

    auto* top = new QHBoxLayout;
    top->addWidget(dateBox);
    top->addLayout(lists, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);

    connect(btnMaskProject, &QToolButton::clicked, this, [this] { applyMask(clProjects, edMaskProject); });
    connect(btnMaskAssignee, &QToolButton::clicked, this, [this] { applyMask(clAssignees, edMaskAssignee); });
    connect(cbProject, &QCheckBox::toggled, this,
            [this] { applyDontCare(cbProject, clProjects, edMaskProject, btnMaskProject); });
    connect(cbAssignee, &QCheckBox::toggled, this,
            [this] { applyDontCare(cbAssignee, clAssignees, edMaskAssignee, btnMaskAssignee); });
    connect(btnClear, &QPushButton::clicked, this, &TfmSelection::resetFilter);
    connect(btnOK, &QPushButton::clicked, this, &TfmSelection::accept);
    connect(btnCancel, &QPushButton::clicked, this, &TfmSelection::reject);
    connect(btnHelp, &QPushButton::clicked, this, [this] { Q_EMIT helpRequested(QStringLiteral("filter")); });

    const QLatin1String section = Settings::Forms::Filter;
    cbProject->setChecked(settings.readBool(section, Settings::CbProject, false));
    cbAssignee->setChecked(settings.readBool(section, Settings::CbAssignee, false));
    const int rule = settings.readInteger(section, Settings::RgDate, ruleAllDates);
    rgDate->button(rule >= 0 && rule < DeadlineRuleCount ? rule : int(ruleAllDates))->setChecked(true);
    applyDontCare(cbProject, clProjects, edMaskProject, btnMaskProject);
    applyDontCare(cbAssignee, clAssignees, edMaskAssignee, btnMaskAssignee);
    restoreFormPlacement(this, settings, section);
}

QString TfmSelection::projectStatusText() const
{
    return m_projectDontCare ? QStringLiteral("Projects: All") : QStringLiteral("Projects: Custom");
}

QString TfmSelection::assigneeStatusText() const
{
    return m_assigneeDontCare ? QStringLiteral("Assignee: All") : QStringLiteral("Assignee: Custom");
}

bool TfmSelection::eventFilter(QObject* watched, QEvent* event)
{
    // Enter in a mask box ticks by the mask instead of closing the dialog.
    if ((watched == edMaskProject || watched == edMaskAssignee) && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            (watched == edMaskProject ? btnMaskProject : btnMaskAssignee)->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfmSelection::applyMask(QListWidget* list, const QLineEdit* mask)
{
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names.append(list->item(i)->text());
    const std::optional<QList<bool>> ticks = ticksForMask(names, mask->text());
    if (!ticks)
        return;
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setCheckState(ticks->at(i) ? Qt::Checked : Qt::Unchecked);
}

void TfmSelection::applyDontCare(const QCheckBox* dontCare, QListWidget* list, QLineEdit* mask, QToolButton* maskButton)
{
    const bool enabled = !dontCare->isChecked();
    list->setEnabled(enabled);
    mask->setEnabled(enabled);
    maskButton->setEnabled(enabled);
}

void TfmSelection::resetFilter()
{
    rgDate->button(ruleAllDates)->setChecked(true);
    for (QListWidget* list : {clProjects, clAssignees}) {
        for (int i = 0; i < list->count(); ++i)
            list->item(i)->setCheckState(Qt::Unchecked);
    }
    cbProject->setChecked(false);
    cbAssignee->setChecked(false);
    applyDontCare(cbProject, clProjects, edMaskProject, btnMaskProject);
    applyDontCare(cbAssignee, clAssignees, edMaskAssignee, btnMaskAssignee);
}

QStringList TfmSelection::chosenNames(const QCheckBox* dontCare, const QListWidget* list)
{
    if (dontCare->isChecked())
        return {};
    QStringList names;
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->checkState() == Qt::Checked)
            names.append(list->item(i)->text());
    }
    // Nothing ticked keeps only the tasks without a name, not every task.
    if (names.isEmpty())
        names.append(QString());
    return names;
}

void TfmSelection::accept()
{
    m_projectDontCare = cbProject->isChecked();
    m_assigneeDontCare = cbAssignee->isChecked();
    m_projectFilter = chosenNames(cbProject, clProjects);
    m_assigneeFilter = chosenNames(cbAssignee, clAssignees);
    m_deadlineRule = std::max(rgDate->checkedId(), 0);
    QDialog::accept();
}

void TfmSelection::done(int result)
{
    // The choices are remembered however the dialog closes, as the position is.
    const QLatin1String section = Settings::Forms::Filter;
    {
        SettingsStore::Batch batch(m_settings);
        m_settings.writeBool(section, Settings::CbProject, cbProject->isChecked());
        m_settings.writeBool(section, Settings::CbAssignee, cbAssignee->isChecked());
        m_settings.writeInteger(section, Settings::RgDate, std::max(rgDate->checkedId(), 0));
        storeFormPlacement(this, m_settings, section);
    }
    QDialog::done(result);
}
