#pragma once

#include "core/ui/ask.h"

#include <QDialog>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTest>

#include <functional>
#include <utility>

// The child widget of that object name; a missing one is a broken test, not a failed check.
template <typename T = QWidget> T* childNamed(const QObject* parent, QAnyStringView name)
{
    T* widget = parent->findChild<T*>(name.toString());
    if (widget == nullptr)
        qFatal("no child %s", qPrintable(name.toString()));
    return widget;
}

// Runs the action with the answers queued for the prompts it raises and returns their texts.
// Answers it left unused are dropped and show up as a last text, so that comparing the texts fails.
inline QStringList promptsAnswered(const QList<QMessageBox::StandardButton>& answers,
                                   const std::function<void()>& action)
{
    Ask::setNextAnswers(answers);
    action();
    QStringList texts = Ask::takeAsked();
    if (Ask::pending()) {
        texts.append(QStringLiteral("UNUSED ANSWERS"));
        Ask::setNextAnswers({});
    }
    return texts;
}

// For cleanup(): nothing queued was left over and no prompt went unanswered.
inline void verifyPromptsAnswered()
{
    const bool leftOver = Ask::pending();
    Ask::setNextAnswers({});
    Ask::setNextDialogHandlers({});
    QVERIFY2(!leftOver, "answers or dialog handlers left over");
    for (const QString& text : Ask::takeAsked())
        QVERIFY2(!text.startsWith(QStringLiteral("UNANSWERED: ")), qPrintable(text));
}

// A dialog handler that first shows the dialog application modal, as exec does: for handlers that
// type into the dialog or look at its window, and for code that holds back while a modal window is open.
inline std::function<void(QDialog&)> asModal(std::function<void(QDialog&)> handle)
{
    return [handle = std::move(handle)](QDialog& dialog) {
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.show();
        handle(dialog);
    };
}
