#include "core/settingsstore.h"
#include "support/widgets.h"
#include "tasks/ui/selectiondialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// "a,b" as a list; "" as the empty list.
QStringList names(const char* text)
{
    const QString all = QString::fromLatin1(text);
    return all.isEmpty() ? QStringList() : all.split(QLatin1Char(','));
}

QListWidget* list(const QWidget* d, const char* n)
{
    return childNamed<QListWidget>(d, n);
}
QCheckBox* box(const QWidget* d, const char* n)
{
    return childNamed<QCheckBox>(d, n);
}
QRadioButton* dateItem(const QWidget* d, int i)
{
    return childNamed<QRadioButton>(d, u"rgDate%1"_s.arg(i));
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
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        Ask::setUnattended(true);
    }
    void cleanup() { verifyPromptsAnswered(); }

    void mask_enterTicksByPrefixOrWholeName_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("prefix any case") << u"aN*"_s << names("an,andrew,Anna");
        QTest::newRow("whole name any case") << u"AN"_s << names("an");
        QTest::newRow("after star ignored") << u"and*zz"_s << names("andrew");
        QTest::newRow("star alone") << u"*"_s << names("an,andrew,Anna,Bob");
        QTest::newRow("empty mask keeps ticks") << QString() << names("Bob");
    }
    void mask_enterTicksByPrefixOrWholeName()
    {
        QFETCH(QString, mask);
        QFETCH(QStringList, expected);
        SettingsStore settings(m_dir.filePath(u"mask.ini"_s));
        TfmSelection dialog(settings, m_projects, m_assignees);
        dialog.show();
        QVERIFY(!childNamed<QPushButton>(&dialog, "btnHelp")->isVisible()); // no help window yet
        tick(list(&dialog, "clAssignees"), "Bob");
        auto* edit = childNamed<QLineEdit>(&dialog, "edMaskAssignee");
        edit->setFocus();
        QTest::keyClicks(edit, mask);
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(dialog.isVisible()); // Enter ticks by the mask, it does not close the dialog
        QCOMPARE(ticked(list(&dialog, "clAssignees")), expected);
    }

    void ok_givesFiltersAndStatusTexts()
    {
        SettingsStore settings(m_dir.filePath(u"ok.ini"_s));
        TfmSelection dialog(settings, m_projects, m_assignees);
        QCOMPARE(list(&dialog, "clProjects")->count(), 3); // no blank item; sorted without regard to case
        tick(list(&dialog, "clProjects"), "garden");
        tick(list(&dialog, "clProjects"), "Alpha");
        QTest::mouseClick(box(&dialog, "cbAssignee"), Qt::LeftButton);
        QVERIFY(!list(&dialog, "clAssignees")->isEnabled());
        QVERIFY(!childNamed<QLineEdit>(&dialog, "edMaskAssignee")->isEnabled());
        dateItem(&dialog, 5)->setChecked(true);
        childNamed<QPushButton>(&dialog, "btnOK")->click();

        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.projectFilter(), names("Alpha,garden"));
        QCOMPARE(dialog.projectStatusText(), u"Projects: Custom"_s);
        QVERIFY(dialog.assigneeDontCare() && dialog.assigneeFilter().isEmpty());
        QCOMPARE(dialog.assigneeStatusText(), u"Assignee: All"_s);
        QCOMPARE(dialog.deadlineRule(), 5);
    }

    void reset_thenOk_keepsOnlyTasksWithoutNames()
    {
        SettingsStore settings(m_dir.filePath(u"reset.ini"_s));
        TfmSelection dialog(settings, m_projects, m_assignees);
        tick(list(&dialog, "clAssignees"), "Bob");
        box(&dialog, "cbProject")->click();
        dateItem(&dialog, 7)->setChecked(true);
        childNamed<QPushButton>(&dialog, "btnClear")->click();
        QVERIFY(dateItem(&dialog, 0)->isChecked() && !box(&dialog, "cbProject")->isChecked());
        QVERIFY(list(&dialog, "clProjects")->isEnabled());
        childNamed<QPushButton>(&dialog, "btnOK")->click();
        QCOMPARE(dialog.projectFilter(), QStringList{QString()});
        QCOMPARE(dialog.assigneeFilter(), QStringList{QString()});
        QCOMPARE(dialog.deadlineRule(), 0);
    }

    void reopen_restoresDontCareAndDeadlineButNotTicks()
    {
        SettingsStore settings(m_dir.filePath(u"reopen.ini"_s));
        {
            TfmSelection dialog(settings, m_projects, m_assignees);
            box(&dialog, "cbProject")->click();
            tick(list(&dialog, "clAssignees"), "Bob");
            dateItem(&dialog, 3)->setChecked(true);
            childNamed<QPushButton>(&dialog, "btnOK")->click();
        }
        SettingsStore reread(settings.path());
        TfmSelection dialog(reread, m_projects, m_assignees);
        QVERIFY(box(&dialog, "cbProject")->isChecked() && !list(&dialog, "clProjects")->isEnabled());
        QVERIFY(!box(&dialog, "cbAssignee")->isChecked());
        QVERIFY(dateItem(&dialog, 3)->isChecked());
        QVERIFY(ticked(list(&dialog, "clAssignees")).isEmpty());
    }
};

QTEST_MAIN(TestSelectionDialog)
#include "tst_selectiondialog.moc"
