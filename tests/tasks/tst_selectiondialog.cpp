#include "core/settingsstore.h"
#include "tasks/ui/selectiondialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

// "a,b" as a list; "" as the empty list.
QStringList names(const char* text)
{
    const QString all = QString::fromLatin1(text);
    return all.isEmpty() ? QStringList() : all.split(QLatin1Char(','));
}

template <typename T> T* child(const QWidget* dialog, const QString& name)
{
    T* widget = dialog->findChild<T*>(name);
    if (!widget)
        qFatal("no child %s", qPrintable(name));
    return widget;
}
QListWidget* list(const QWidget* d, const char* n)
{
    return child<QListWidget>(d, QString::fromLatin1(n));
}
QCheckBox* box(const QWidget* d, const char* n)
{
    return child<QCheckBox>(d, QString::fromLatin1(n));
}
QRadioButton* dateItem(const QWidget* d, int i)
{
    return child<QRadioButton>(d, QStringLiteral("rgDate%1").arg(i));
}
void click(const QWidget* d, const char* n)
{
    child<QPushButton>(d, QString::fromLatin1(n))->click();
}

QStringList ticked(const QListWidget* list)
{
    QStringList result;
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->checkState() == Qt::Checked)
            result.append(list->item(i)->text());
    }
    return result;
}

void tick(QListWidget* list, const char* name)
{
    list->findItems(QString::fromLatin1(name), Qt::MatchExactly).constFirst()->setCheckState(Qt::Checked);
}

} // namespace

class TestSelectionDialog final : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    const QStringList m_projects = names("garden,Alpha,,beta");
    const QStringList m_assignees = names("Anna,andrew,Bob,an");

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void mask_enterTicksByPrefixOrWholeName_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("prefix any case") << QStringLiteral("aN*") << names("an,andrew,Anna");
        QTest::newRow("whole name any case") << QStringLiteral("AN") << names("an");
        QTest::newRow("after star ignored") << QStringLiteral("and*zz") << names("andrew");
        QTest::newRow("star alone") << QStringLiteral("*") << names("an,andrew,Anna,Bob");
        QTest::newRow("empty mask keeps ticks") << QString() << names("Bob");
    }
    void mask_enterTicksByPrefixOrWholeName()
    {
        QFETCH(QString, mask);
        QFETCH(QStringList, expected);
        SettingsStore settings(m_dir.filePath(QStringLiteral("mask.ini")));
        TfmSelection dialog(settings, m_projects, m_assignees);
        dialog.show();
        tick(list(&dialog, "clAssignees"), "Bob");
        auto* edit = child<QLineEdit>(&dialog, QStringLiteral("edMaskAssignee"));
        edit->setFocus();
        QTest::keyClicks(edit, mask);
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(dialog.isVisible()); // Enter ticks by the mask, it does not close the dialog
        QCOMPARE(ticked(list(&dialog, "clAssignees")), expected);
    }

    void ok_givesFiltersAndStatusTexts()
    {
        SettingsStore settings(m_dir.filePath(QStringLiteral("ok.ini")));
        TfmSelection dialog(settings, m_projects, m_assignees);
        QCOMPARE(list(&dialog, "clProjects")->count(), 3); // no blank item; sorted without regard to case
        tick(list(&dialog, "clProjects"), "garden");
        tick(list(&dialog, "clProjects"), "Alpha");
        QTest::mouseClick(box(&dialog, "cbAssignee"), Qt::LeftButton);
        QVERIFY(!list(&dialog, "clAssignees")->isEnabled());
        QVERIFY(!child<QLineEdit>(&dialog, QStringLiteral("edMaskAssignee"))->isEnabled());
        dateItem(&dialog, 5)->setChecked(true);
        click(&dialog, "btnOK");

        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.projectFilter(), names("Alpha,garden"));
        QCOMPARE(dialog.projectStatusText(), QStringLiteral("Projects: Custom"));
        QVERIFY(dialog.assigneeDontCare() && dialog.assigneeFilter().isEmpty());
        QCOMPARE(dialog.assigneeStatusText(), QStringLiteral("Assignee: All"));
        QCOMPARE(dialog.deadlineRule(), 5);
    }

    void reset_thenOk_keepsOnlyTasksWithoutNames()
    {
        SettingsStore settings(m_dir.filePath(QStringLiteral("reset.ini")));
        TfmSelection dialog(settings, m_projects, m_assignees);
        tick(list(&dialog, "clAssignees"), "Bob");
        box(&dialog, "cbProject")->click();
        dateItem(&dialog, 7)->setChecked(true);
        click(&dialog, "btnClear");
        QVERIFY(dateItem(&dialog, 0)->isChecked() && !box(&dialog, "cbProject")->isChecked());
        QVERIFY(list(&dialog, "clProjects")->isEnabled());
        click(&dialog, "btnOK");
        QCOMPARE(dialog.projectFilter(), QStringList{QString()});
        QCOMPARE(dialog.assigneeFilter(), QStringList{QString()});
        QCOMPARE(dialog.deadlineRule(), 0);
    }

    void reopen_restoresDontCareAndDeadlineButNotTicks()
    {
        SettingsStore settings(m_dir.filePath(QStringLiteral("reopen.ini")));
        {
            TfmSelection dialog(settings, m_projects, m_assignees);
            box(&dialog, "cbProject")->click();
            tick(list(&dialog, "clAssignees"), "Bob");
            dateItem(&dialog, 3)->setChecked(true);
            click(&dialog, "btnOK");
        }
        SettingsStore reread(settings.path());
        TfmSelection dialog(reread, m_projects, m_assignees);
        QVERIFY(box(&dialog, "cbProject")->isChecked() && !list(&dialog, "clProjects")->isEnabled());
        QVERIFY(!box(&dialog, "cbAssignee")->isChecked());
        QVERIFY(dateItem(&dialog, 3)->isChecked());
        QCOMPARE(dateItem(&dialog, 3)->text(), QStringLiteral("Tomorow"));
        QVERIFY(ticked(list(&dialog, "clAssignees")).isEmpty());
    }
};

QTEST_MAIN(TestSelectionDialog)
#include "tst_selectiondialog.moc"
