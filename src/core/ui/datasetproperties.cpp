#include "core/ui/datasetproperties.h"

#include "core/atomicfile.h"
#include "core/dataset.h"
#include "core/settingsnames.h"
#include "core/ui/ask.h"
#include "core/ui/formplacement.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// The first local folder among dropped URLs, empty when there is none.
QString droppedFolder(const QMimeData* mime)
{
    if (mime == nullptr || !mime->hasUrls())
        return {};
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isDir())
            return url.toLocalFile();
    }
    return {};
}

} // namespace

void showDataSetMessages(QWidget* parent, const QList<DataSetMessage>& messages)
{
    for (const DataSetMessage& message : messages) {
        switch (message.kind) {
        case DataSetMessage::Information:
            Ask::information(parent, message.text());
            break;
        case DataSetMessage::Warning:
            Ask::warning(parent, message.text());
            break;
        case DataSetMessage::Error:
            Ask::critical(parent, message.text());
            break;
        }
    }
}

TfmDatasetProperties::TfmDatasetProperties(SettingsStore& settings, DataSetList& list, int row,
                                           const QString& openFolder, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_list(list), m_row(row), m_openFolder(openFolder)
{
    setObjectName(QStringLiteral("TfmDatasetProperties"));
    setWindowTitle(QStringLiteral("Database properties"));
    setModal(true);

    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("edName"));
    m_location = new QLineEdit(this);
    m_location->setObjectName(QStringLiteral("edLocation"));
    m_location->setReadOnly(true);
    m_location->setAcceptDrops(true);
    m_location->installEventFilter(this);
    auto* browse = new QPushButton(QStringLiteral("..."), this);
    browse->setObjectName(QStringLiteral("btnBrowse"));
    auto* explorer = new QPushButton(QStringLiteral("Run Windows &Explorer"), this);
    explorer->setObjectName(QStringLiteral("btnExplorer"));
    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));

    auto* locationRow = new QHBoxLayout;
    locationRow->addWidget(m_location, 1);
    locationRow->addWidget(browse);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Name:"), m_name);
    form->addRow(QStringLiteral("Location:"), locationRow);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(explorer);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    resize(460, sizeHint().height());
    restoreFormPlacement(this, m_settings, Settings::Forms::DatasetPropertiesForm);

    if (m_row >= 0 && m_row < m_list.count()) {
        m_name->setText(m_list.nameAt(m_row));
        m_location->setText(m_list.folderAt(m_row));
    }

    connect(browse, &QPushButton::clicked, this, &TfmDatasetProperties::chooseFolder);
    connect(explorer, &QPushButton::clicked, this, [this] {
        const QString folder = m_location->text().isEmpty() ? QDir::homePath() : m_location->text();
        QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
    });
    connect(ok, &QPushButton::clicked, this, &TfmDatasetProperties::accept);
    connect(cancel, &QPushButton::clicked, this, &TfmDatasetProperties::reject);
}

void TfmDatasetProperties::setLocation(const QString& folder)
{
    m_location->setText(DataSet::cutDriveRoot(QDir::fromNativeSeparators(folder)));
}

void TfmDatasetProperties::chooseFolder()
{
    // A folder made in the chooser is meant for a data set, which is private.
    const PrivateCreationScope privateFolders;
    const QString folder = Ask::existingDirectory(this, QStringLiteral("Browse folder"), m_location->text());
    if (!folder.isEmpty())
        setLocation(folder);
}

bool TfmDatasetProperties::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_location) {
        if (event->type() == QEvent::DragEnter) {
            auto* drag = static_cast<QDragEnterEvent*>(event);
            if (!droppedFolder(drag->mimeData()).isEmpty())
                drag->acceptProposedAction();
            return true;
        }
        if (event->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            const QString folder = droppedFolder(drop->mimeData());
            if (!folder.isEmpty()) {
                setLocation(folder);
                drop->acceptProposedAction();
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfmDatasetProperties::accept()
{
    // An entry without a name or folder could never be opened; the window stays open for it.
    if (m_name->text().trimmed().isEmpty() || m_location->text().isEmpty()) {
        Ask::warning(this, QStringLiteral("Please enter a name and choose a location."));
        return;
    }
    m_result = m_list.edit(m_row, m_name->text(), m_location->text(), m_openFolder);
    showDataSetMessages(this, m_result.messages);
    QDialog::accept(); // closes in every case, also after a refusal
}

void TfmDatasetProperties::done(int result)
{
    storeFormPlacement(this, m_settings, Settings::Forms::DatasetPropertiesForm);
    QDialog::done(result);
}
