#include "tasks/ui/projnamedialog.h"

#include "core/applanguage.h"
#include "core/ui/ask.h"
#include "core/ui/widgetnames.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TfmProjName::TfmProjName(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfmProjName"));
    setWindowTitle(QStringLiteral("Project name"));

    editName = new QLineEdit(this);
    editName->setObjectName(QStringLiteral("editName"));
    auto* btnOK = new QPushButton(QStringLiteral("&OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    auto* btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    auto* btnHelp = new QPushButton(QStringLiteral("&Help"), this);
    btnHelp->setObjectName(QStringLiteral("btnHelp"));
    offerHelpButton(btnHelp);

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(QStringLiteral("Name:"), this));
    nameRow->addWidget(editName, 1);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(btnOK);
    buttonRow->addWidget(btnCancel);
    buttonRow->addWidget(btnHelp);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Please type a name at the box below."), this));
    layout->addLayout(nameRow);
    layout->addLayout(buttonRow);

    connect(btnOK, &QPushButton::clicked, this, &TfmProjName::accept);
    connect(btnCancel, &QPushButton::clicked, this, &TfmProjName::reject);
    connect(btnHelp, &QPushButton::clicked, this, [this] { Q_EMIT helpRequested(QStringLiteral("ProjName")); });
}

QString TfmProjName::name() const
{
    // The name becomes a line of a table file: a TAB or another control character would break it.
    QString name = editName->text();
    for (QChar& c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = u' ';
    }
    return name;
}

void TfmProjName::setName(const QString& name)
{
    editName->setText(name);
}

void TfmProjName::accept()
{
    if (editName->text().isEmpty()) {
        Ask::critical(this, LanguageString(446), windowTitle());
        editName->setFocus();
        return;
    }
    QDialog::accept();
}

void TfmProjName::showEvent(QShowEvent* event)
{
    editName->setFocus();
    QDialog::showEvent(event);
}
