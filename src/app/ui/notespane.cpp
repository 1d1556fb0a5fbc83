#include "app/ui/notespane.h"

#include "core/applanguage.h"
#include "core/tasktable.h"
#include "core/ui/commandregistry.h"
#include "core/ui/memocommands.h"
#include "core/ui/programicons.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

TNotesPane::TNotesPane(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlMemo"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    auto* header = new QHBoxLayout;
    btnHide = new QToolButton;
    btnHide->setObjectName(QStringLiteral("btnHide"));
    btnHide->setAutoRaise(true);
    connect(btnHide, &QToolButton::clicked, this, &TNotesPane::hideRequested);
    header->addWidget(new QLabel(QStringLiteral("Notes:")));
    header->addStretch();
    header->addWidget(btnHide);
    memoPreview = new QPlainTextEdit;
    memoPreview->setObjectName(QStringLiteral("memoPreview"));
    memoPreview->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoPreview->installEventFilter(this);
    installMemoCommands(memoPreview);
    edAttach = new QLineEdit;
    edAttach->setObjectName(QStringLiteral("edAttach"));
    edAttach->setReadOnly(true);
    edAttach->setPlaceholderText(QStringLiteral("No attached file"));
    edAttach->setContextMenuPolicy(Qt::CustomContextMenu);
    edAttach->installEventFilter(this);
    connect(edAttach, &QLineEdit::customContextMenuRequested, this,
            [this](const QPoint& pos) { Q_EMIT attachmentMenuRequested(edAttach->mapToGlobal(pos)); });
    btnRunAttachment = new QToolButton;
    btnRunAttachment->setObjectName(QStringLiteral("btnRunAttachment"));
    btnRunAttachment->setAutoRaise(true);
    btnRunAttachment->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    btnRunAttachment->setToolTip(QStringLiteral("Run attachments"));
    connect(btnRunAttachment, &QToolButton::clicked, this, &TNotesPane::runAttachmentRequested);
    auto* attachRow = new QHBoxLayout;
    attachRow->setSpacing(2);
    attachRow->addWidget(edAttach, 1);
    attachRow->addWidget(btnRunAttachment);
    layout->addLayout(header);
    layout->addWidget(memoPreview, 1);
    layout->addLayout(attachRow);
    setPanelShown(true);
}

void TNotesPane::showNotes(const QString& notesCell, bool readOnly)
{
    memoPreview->setPlainText(notesCell.isEmpty() ? QString() : decodeNotesText(notesCell));
    memoPreview->document()->setModified(false);
    memoPreview->setReadOnly(readOnly);
    memoPreview->moveCursor(QTextCursor::Start);
}

bool TNotesPane::takeEditedNotes(QString* notesCell)
{
    if (!memoPreview->document()->isModified())
        return false;
    *notesCell = encodeNotesText(memoPreview->toPlainText());
    memoPreview->document()->setModified(false);
    return true;
}

void TNotesPane::showAttachment(const QString& path, bool fromSelection)
{
    edAttach->setText(path);
    edAttach->setCursorPosition(0);
    const QString hint = path + LanguageString(fromSelection ? 223 : 222);
    edAttach->setToolTip(hintTip(hint));
    edAttach->setStatusTip(hintStatus(hint));
}

QString TNotesPane::attachment() const
{
    return edAttach->text();
}

void TNotesPane::setPanelShown(bool shown)
{
    btnHide->setIcon(panelArrow(!shown)); // imUp while the panel is hidden, imDown while it shows
    btnHide->setToolTip(hintTip(LanguageString(shown ? 245 : 246)));
}

bool TNotesPane::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == memoPreview && event->type() == QEvent::FocusOut) {
        Q_EMIT notesLeft();
    } else if (watched == edAttach && event->type() == QEvent::MouseButtonDblClick) {
        Q_EMIT runAttachmentRequested();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
