#include "core/ui/memocommands.h"

#include "core/memoinsert.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QPlainTextEdit>

namespace {

QAction* insertionAction(QPlainTextEdit* memo, const QString& text, const QString& name, Qt::Key key,
                         MemoInsertion kind)
{
    auto* action = new QAction(text, memo);
    action->setObjectName(name);
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | key));
    // Only the memo with the focus answers the keys; several memos live in one window.
    action->setShortcutContext(Qt::WidgetShortcut);
    QObject::connect(action, &QAction::triggered, memo, [memo, kind] {
        if (!memo->isReadOnly())
            memo->insertPlainText(memoInsertionText(kind));
    });
    memo->addAction(action);
    return action;
}

} // namespace

void installMemoCommands(QPlainTextEdit* memo)
{
    QAction* addDate = insertionAction(memo, QStringLiteral("Add current date"), QStringLiteral("miAddDate"), Qt::Key_D,
                                       MemoInsertion::Date);
    QAction* addTime = insertionAction(memo, QStringLiteral("Add current time"), QStringLiteral("miAddTime"), Qt::Key_T,
                                       MemoInsertion::Time);
    QAction* addDateTime = insertionAction(memo, QStringLiteral("Add current date/time"),
                                           QStringLiteral("miAddDateTime"), Qt::Key_C, MemoInsertion::DateTime);

    memo->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(
        memo, &QPlainTextEdit::customContextMenuRequested, memo,
        [memo, addDate, addTime, addDateTime](const QPoint& pos) {
            QMenu menu(memo);
            menu.setObjectName(QStringLiteral("pmMemo"));
            const bool editable = !memo->isReadOnly();
            const bool selected = memo->textCursor().hasSelection();
            menu.addAction(QStringLiteral("Cu&t"), memo, &QPlainTextEdit::cut)->setEnabled(editable && selected);
            menu.addAction(QStringLiteral("&Copy"), memo, &QPlainTextEdit::copy)->setEnabled(selected);
            menu.addAction(QStringLiteral("&Paste"), memo, &QPlainTextEdit::paste)
                ->setEnabled(editable && memo->canPaste());
            menu.addAction(QStringLiteral("Se&lect all"), memo, &QPlainTextEdit::selectAll);
            menu.addSeparator();
            for (QAction* action : {addDate, addTime, addDateTime}) {
                action->setEnabled(editable);
                menu.addAction(action);
            }
            menu.exec(memo->viewport()->mapToGlobal(pos));
            // The keys stay live for when the memo becomes editable again.
            for (QAction* action : {addDate, addTime, addDateTime})
                action->setEnabled(true);
        });
}
