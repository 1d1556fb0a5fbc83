#include "app/ui/maintoolbar.h"

#include "app/ui/toolbarflowlayout.h"

#include <QAction>
#include <QToolButton>

#include <memory>

namespace {

constexpr int buttonWidth = 23;
constexpr int buttonHeight = 22;
constexpr int separatorWidth = 8;
constexpr int indent = 3;

} // namespace

TMainToolbar::TMainToolbar(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("ToolBar1"));
    setFrameShape(QFrame::StyledPanel);
    setFocusPolicy(Qt::NoFocus);
    m_layout = new TToolbarFlowLayout(this);
    m_layout->setContentsMargins(indent, 2, 2, 2);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void TMainToolbar::reset(const Look& look)
{
    m_look = look;
    // The old buttons leave at once (so nothing finds them any more) but are freed later: the click
    // of one of them may be what asked for the new toolbar.
    while (QLayoutItem* taken = m_layout->takeAt(0)) {
        const std::unique_ptr<QLayoutItem> item(taken);
        if (QWidget* widget = item->widget()) {
            widget->setParent(nullptr);
            widget->deleteLater();
        }
    }
    for (QAction* action : findChildren<QAction*>(QString(), Qt::FindDirectChildrenOnly)) {
        action->setParent(nullptr);
        action->deleteLater();
    }
    m_layout->setWrap(look.wrap);
    QSizePolicy policy = sizePolicy();
    policy.setHeightForWidth(look.wrap);
    setSizePolicy(policy);
    QFont font;
    if (look.smallFont)
        font.setPointSize(7);
    setFont(font);
    setHidden(false);
    updateGeometry();
}

QToolButton* TMainToolbar::addButton(QAction* action, const QString& name)
{
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setDefaultAction(action);
    button->setAutoRaise(m_look.flat);
    button->setToolButtonStyle(m_look.captions ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
    button->setIconSize(QSize(16, 16));
    button->setMinimumSize(buttonWidth, buttonHeight);
    button->setFocusPolicy(Qt::NoFocus);
    // A button pushed past the right edge is hidden, but keeps its place for the next layout.
    QSizePolicy policy = button->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    button->setSizePolicy(policy);
    m_layout->addWidget(button);
    return button;
}

void TMainToolbar::addSeparator()
{
    auto* separator = new QFrame(this);
    separator->setObjectName(QStringLiteral("ToolbarSeparator"));
    // Flat buttons have no edges of their own: a line keeps the groups apart.
    separator->setFrameShape(m_look.flat ? QFrame::VLine : QFrame::NoFrame);
    separator->setFrameShadow(QFrame::Sunken);
    separator->setFixedSize(separatorWidth, buttonHeight);
    QSizePolicy policy = separator->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    separator->setSizePolicy(policy);
    m_layout->addWidget(separator);
}
