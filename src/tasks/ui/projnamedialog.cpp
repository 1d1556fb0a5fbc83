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
    const DialogButtons buttons =
        okCancelHelpRow(this, QStringLiteral("&OK"), QStringLiteral("&Cancel"), QStringLiteral("&Help"));

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(QStringLiteral("Name:"), this));
    nameRow->addWidget(editName, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Please type a name at the box below."), this));
    layout->addLayout(nameRow);
    layout->addLayout(buttons.row);

    connect(buttons.help, &QPushButton::clicked, this, [this] { Q_EMIT helpRequested(QStringLiteral("ProjName")); });
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
