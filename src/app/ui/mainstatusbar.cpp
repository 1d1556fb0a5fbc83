#include "app/ui/mainstatusbar.h"

#include "app/ui/statuslamp.h"
#include "core/applanguage.h"
#include "core/ui/commandregistry.h"
#include "core/ui/programicons.h"

#include <QLabel>
#include <QRegularExpression>
#include <QToolButton>

TMainStatusBar::TMainStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("StatusBar"));
    setSizeGripEnabled(true);
    btnStatusHide = new QToolButton;
    btnStatusHide->setObjectName(QStringLiteral("btnStatusHide"));
    btnStatusHide->setAutoRaise(true);
    connect(btnStatusHide, &QToolButton::clicked, this, &TMainStatusBar::panelToggleRequested);
    m_lamp = new FilterLamp;
    m_hintPanel = new QLabel;
    m_hintPanel->setObjectName(QStringLiteral("lblHint"));
    // A long hint is cut at the panel's edge; it must neither widen the window nor heighten the bar.
    m_hintPanel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_countPanel = new QLabel;
    m_countPanel->setObjectName(QStringLiteral("lblCount"));
    // 70 pixels, or what the text needs: a count of 100000 tasks is shown whole.
    m_countPanel->setMinimumWidth(70);
    m_projectPanel = new QLabel(LanguageString(199));
    m_projectPanel->setObjectName(QStringLiteral("lblProject"));
    m_projectPanel->setFixedWidth(120);
    m_assigneePanel = new QLabel(LanguageString(200));
    m_assigneePanel->setObjectName(QStringLiteral("lblAssignee"));
    m_assigneePanel->setFixedWidth(120);
    addPermanentWidget(btnStatusHide);
    addPermanentWidget(m_lamp);
    addPermanentWidget(m_hintPanel, 1);
    addPermanentWidget(m_countPanel);
    addPermanentWidget(m_projectPanel);
    addPermanentWidget(m_assigneePanel);
    setPanelShown(true);
}

void TMainStatusBar::showCount(int tasks, bool filtered)
{
    m_lamp->setFiltered(filtered);
    m_countPanel->setText(LanguageString(809) + QString::number(tasks));
}

void TMainStatusBar::showHint(const QString& hint)
{
    const QStringList lines = hint.split(QRegularExpression(QStringLiteral("[\r\n]+")), Qt::SkipEmptyParts);
    m_hintPanel->setText(lines.join(QStringLiteral("; ")));
}

void TMainStatusBar::setProjectText(const QString& text)
{
    m_projectPanel->setText(text);
}

void TMainStatusBar::setAssigneeText(const QString& text)
{
    m_assigneePanel->setText(text);
}

void TMainStatusBar::setPanelShown(bool shown)
{
    btnStatusHide->setIcon(panelArrow(!shown)); // imUp while the panel is hidden, imDown while it shows
    btnStatusHide->setToolTip(hintTip(LanguageString(shown ? 245 : 246)));
}
