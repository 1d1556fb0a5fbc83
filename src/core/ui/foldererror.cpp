#include "core/ui/foldererror.h"

#include "core/dataset.h"
#include "core/settingsnames.h"
#include "core/ui/ask.h"
#include "core/ui/datasetmanager.h"
#include "core/ui/formplacement.h"
#include "core/ui/widgetnames.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfmFolderError::TfmFolderError(SettingsStore& settings, DataSet& dataSet, const QString& programFolder, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_dataSet(dataSet), m_programFolder(programFolder)
{
    setObjectName(QStringLiteral("TfmFolderError"));
    setWindowTitle(QStringLiteral("Data folder read error"));
    setModal(true);

    m_path = new QLineEdit(this);
    m_path->setObjectName(QStringLiteral("edPath"));
    m_path->setReadOnly(true);
    auto* retry = new QPushButton(QStringLiteral("&Retry"), this);
    retry->setObjectName(QStringLiteral("btnRetry"));
    retry->setDefault(true);
    auto* manager = new QPushButton(QStringLiteral("Dataset &manager..."), this);
    manager->setObjectName(QStringLiteral("btnManager"));
    manager->setAutoDefault(false);
    auto* help = new QPushButton(QStringLiteral("&Help"), this);
    help->setObjectName(QStringLiteral("btnHelp"));
    help->setAutoDefault(false);
    offerHelpButton(help);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(retry);
    buttons->addWidget(manager);
    buttons->addWidget(help);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_path);
    layout->addLayout(buttons);
    resize(440, sizeHint().height());
    restoreFormPlacement(this, m_settings, Settings::Forms::ErrorForm);

    connect(retry, &QPushButton::clicked, this, [this] {
        m_choice = Choice::Retry;
        accept();
    });
    connect(manager, &QPushButton::clicked, this, [this] {
        m_choice = Choice::Manager;
        accept();
    });
    connect(help, &QPushButton::clicked, this, [this] {
        if (onHelp)
            onHelp();
    });
}

void TfmFolderError::done(int result)
{
    storeFormPlacement(this, m_settings, Settings::Forms::ErrorForm);
    QDialog::done(result);
}

void TfmFolderError::openManager()
{
    // Only the data folder and name change here; the waiting load or save decides what follows.
    if (m_programFolder.isEmpty())
        return;
    TfmDatasetManager manager(m_settings, m_programFolder, m_dataSet.folder(), this);
    const bool chosen = Ask::exec(manager) == QDialog::Accepted;
    if (chosen)
        m_dataSet.setLocation(manager.chosenName(), manager.chosenFolder());
    else if (manager.openNameChanged())
        m_dataSet.setLocation(manager.openName(), m_dataSet.folder());
}

bool TfmFolderError::runUntilFolderExists()
{
    // The test is repeated with the folder as it stands after each showing.
    while (!QFileInfo(m_dataSet.folder()).isDir()) {
        m_choice = Choice::Closed;
        m_path->setText(QDir::toNativeSeparators(m_dataSet.folder()));
        Ask::exec(*this);
        if (m_choice == Choice::Manager) {
            if (onManager)
                onManager();
            else
                openManager();
        }
    }
    return true;
}

DataSet::FolderGuard TfmFolderError::makeGuard(QWidget* parent, SettingsStore& settings, DataSet& dataSet,
                                               std::function<void()> openManager, std::function<void()> help)
{
    return [parent, &settings, &dataSet, openManager = std::move(openManager), help = std::move(help)] {
        TfmFolderError window(settings, dataSet, QString(), parent);
        window.onManager = openManager;
        window.onHelp = help;
        return window.runUntilFolderExists();
    };
}
