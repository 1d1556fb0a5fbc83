#include "tasks/ui/sortdialog.h"

#include "core/applanguage.h"
#include "core/settingsnames.h"
#include "core/ui/ask.h"
#include "core/ui/formplacement.h"
#include "core/ui/widgetnames.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QComboBox* keyList(QWidget* parent, const QString& name, int key)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->addItems({QStringLiteral("[None]"), QStringLiteral("Complete"), QStringLiteral("Task name"),
                   QStringLiteral("Due date"), QStringLiteral("Project"), QStringLiteral("Priority"),
                   QStringLiteral("Assignee"), QStringLiteral("Time")});
    box->setCurrentIndex(key >= -1 && key <= 6 ? key + 1 : 0);
    return box;
}

QComboBox* directionList(QWidget* parent, const QString& name, bool ascending)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->addItems({QStringLiteral("Ascending"), QStringLiteral("Descending")});
    box->setCurrentIndex(ascending ? 0 : 1);
    return box;
}

} // namespace

TfmSort::TfmSort(SettingsStore& settings, const Keys& keys, QWidget* parent) : QDialog(parent), m_settings(settings)
{
    setObjectName(QStringLiteral("TfmSort"));
    setWindowTitle(QStringLiteral("Sort setup"));
    // Made row by row, so that Tab goes from a key to its direction and then to the next key.
    cbPrimKey = keyList(this, QStringLiteral("cbPrimKey"), keys.prim);
    cbPrimDir = directionList(this, QStringLiteral("cbPrimDir"), keys.primAsc);
    cbSecKey = keyList(this, QStringLiteral("cbSecKey"), keys.sec);
    cbSecDir = directionList(this, QStringLiteral("cbSecDir"), keys.secAsc);
    cbTerKey = keyList(this, QStringLiteral("cbTerKey"), keys.ter);
    cbTerDir = directionList(this, QStringLiteral("cbTerDir"), keys.terAsc);

    // The numbers are those the header's sort marks show.
    struct Row {
        const char* label;
        QComboBox* key;
        QComboBox* direction;
    };
    const Row rows[] = {{"&1. Sort by:", cbPrimKey, cbPrimDir},
                        {"&2. Then by:", cbSecKey, cbSecDir},
                        {"&3. Then by:", cbTerKey, cbTerDir}};
    auto* grid = new QGridLayout;
    for (int r = 0; r < 3; ++r) {
        auto* label = new QLabel(QString::fromLatin1(rows[r].label), this);
        label->setBuddy(rows[r].key);
        grid->addWidget(label, r, 0);
        grid->addWidget(rows[r].key, r, 1);
        grid->addWidget(rows[r].direction, r, 2);
    }

    auto* buttons = new QDialogButtonBox(this);
    auto* sortButton = buttons->addButton(QStringLiteral("&Sort"), QDialogButtonBox::AcceptRole);
    sortButton->setObjectName(QStringLiteral("btnSort"));
    sortButton->setDefault(true);
    auto* cancelButton = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancelButton->setObjectName(QStringLiteral("btnCancel"));
    auto* helpButton = buttons->addButton(QStringLiteral("&Help"), QDialogButtonBox::HelpRole);
    helpButton->setObjectName(QStringLiteral("btnHelp"));
    offerHelpButton(helpButton);
    connect(buttons, &QDialogButtonBox::accepted, this, &TfmSort::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TfmSort::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [this] { Q_EMIT helpRequested(QStringLiteral("Sort")); });

    connect(cbPrimKey, &QComboBox::currentIndexChanged, this, [this](int item) {
        if (item == 0) {
            cbSecKey->setCurrentIndex(0);
            cbTerKey->setCurrentIndex(0);
        }
    });
    connect(cbSecKey, &QComboBox::currentIndexChanged, this, [this](int item) {
        if (item == 0)
            cbTerKey->setCurrentIndex(0);
    });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    restoreFormPlacement(this, m_settings, Settings::Forms::SortForm);
}

bool TfmSort::keysRepeat(int primItem, int secItem, int terItem)
{
    return (primItem != 0 && primItem == secItem) || (primItem != 0 && primItem == terItem) ||
           (secItem != 0 && terItem == secItem);
}

void TfmSort::applyNoneCascade()
{
    if (cbPrimKey->currentIndex() == 0) {
        cbSecKey->setCurrentIndex(0);
        cbTerKey->setCurrentIndex(0);
    }
    if (cbSecKey->currentIndex() == 0)
        cbTerKey->setCurrentIndex(0);
}

void TfmSort::accept()
{
    if (keysRepeat(cbPrimKey->currentIndex(), cbSecKey->currentIndex(), cbTerKey->currentIndex())) {
        Ask::warning(this, LanguageString(715), windowTitle());
        return;
    }
    applyNoneCascade();
    QDialog::accept();
}

void TfmSort::done(int result)
{
    storeFormPlacement(this, m_settings, Settings::Forms::SortForm);
    QDialog::done(result);
}

TfmSort::Keys TfmSort::keys() const
{
    Keys keys;
    keys.prim = cbPrimKey->currentIndex() - 1;
    keys.sec = cbSecKey->currentIndex() - 1;
    keys.ter = cbTerKey->currentIndex() - 1;
    keys.primAsc = cbPrimDir->currentIndex() == 0;
    keys.secAsc = cbSecDir->currentIndex() == 0;
    keys.terAsc = cbTerDir->currentIndex() == 0;
    return keys;
}
