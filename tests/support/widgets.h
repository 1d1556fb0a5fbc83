#pragma once

#include "core/ui/ask.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <functional>

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

// Runs the action, pressing the given buttons of the modal boxes it opens, in order, and returns
// their texts. Message boxes and the program's confirmation box (YesToAll: Yes with "Don't ask this
// question again") are both understood; boxes beyond the answers are closed.
inline QStringList answerModals(const QList<QMessageBox::StandardButton>& answers, const std::function<void()>& action)
{
    QStringList texts;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
        auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible())
            return;
        auto* message = qobject_cast<QMessageBox*>(box);
        texts.append(message ? message->text() : childNamed<QLabel>(box, u"lblMessage")->text());
        const auto answer = texts.size() <= answers.size() ? answers.at(texts.size() - 1) : QMessageBox::NoButton;
        if (answer == QMessageBox::NoButton) {
            box->done(QDialog::Rejected);
        } else if (message) {
            if (QAbstractButton* button = message->button(answer))
                button->click();
            else
                message->done(answer);
        } else {
            childNamed<QCheckBox>(box, u"cbAsk")->setChecked(answer == QMessageBox::YesToAll);
            childNamed<QPushButton>(box, answer == QMessageBox::No ? u"btnNo" : u"btnYes")->click();
        }
    });
    poll.start(5);
    action();
    return texts;
}
