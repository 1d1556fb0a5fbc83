#include "tasks/ui/tasklistwidget.h"

#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/tasktable.h"
#include "tasks/columnlayout.h"
#include "tasks/ui/taskheader.h"
#include "tasks/ui/taskitemdelegate.h"
#include "tasks/ui/tasklistmodel.h"

#include <QFontMetrics>
#include <QHash>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

TaskListWidget::TaskListWidget(TaskView& view, SettingsStore& settings, QWidget* parent)
    : QWidget(parent), m_view(view), m_settings(settings)
{
    m_model = new TaskListModel(m_view, this);
    m_viewGrid = new QTableView(this);
    m_viewGrid->setObjectName(QStringLiteral("ViewGrid"));
    m_header = new TaskHeader(m_view, *m_model, m_viewGrid);
    m_header->setObjectName(QStringLiteral("Header"));
    m_viewGrid->setHorizontalHeader(m_header);
    m_viewGrid->setModel(m_model);
    m_delegate = new TaskItemDelegate(m_view, *m_model, this);
    m_viewGrid->setItemDelegate(m_delegate);
    m_viewGrid->verticalHeader()->hide();
    m_viewGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_viewGrid->setShowGrid(false); // the delegate draws the lines the settings ask for
    m_viewGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_viewGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_viewGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_viewGrid->setWordWrap(false);
    m_header->setSectionsClickable(true);
    m_header->setHighlightSections(false);
    m_header->setStretchLastSection(false);
    m_header->setMinimumSectionSize(1);
    m_viewGrid->viewport()->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_viewGrid);

    connect(m_header, &QHeaderView::sectionClicked, this, &TaskListWidget::headerClicked);
    connect(m_header, &QHeaderView::sectionResized, this, &TaskListWidget::headerResized);
    connect(m_viewGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!current.isValid())
                    return;
                m_view.setCurrentRow(current.row());
                m_viewGrid->viewport()->update();
                Q_EMIT currentTaskChanged(current.row());
            });

    m_view.measureText = [this](const QString& text) {
        return QFontMetrics(m_delegate->style().font).horizontalAdvance(text);
    };
    loadSettings();
    // Preferences take effect at once, whoever writes them.
    connect(&m_settings, &SettingsStore::sectionChanged, this, &TaskListWidget::settingsSectionChanged);
}

TaskListWidget::~TaskListWidget()
{
    // The view outlives the list; it must not call into a destroyed font.
    m_view.measureText = nullptr;
}

void TaskListWidget::loadSettings()
{
    applyStyle();
    m_model->setColumnLayout(LoadColumnLayout(m_settings));
    m_columnExtents.clear();
    m_view.invalidateMeasures();
    m_header->setSectionResizeMode(0, QHeaderView::Fixed);
    QList<int> widths = LoadColumnWidths(m_settings, m_model->columnLayout());
    widths[0] = completionColumnWidth();
    applyWidths(widths);
    selectRow(m_view.currentRow());
}

void TaskListWidget::applyStyle()
{
    const TaskListStyle style = TaskListStyle::fromSettings(m_settings);
    m_delegate->setStyle(style);
    m_header->setDisplaySortMarks(m_settings.readBool(Settings::Other, Settings::DisplaySortMarks, true));
    m_viewGrid->setFont(style.font);
    m_viewGrid->verticalHeader()->setMinimumSectionSize(1);
    m_viewGrid->verticalHeader()->setDefaultSectionSize(TaskItemDelegate::rowHeight(style.font, style.horizLines));
    m_header->viewport()->update();
    m_viewGrid->viewport()->update();
}

void TaskListWidget::applyColumns()
{
    // A column keeps the width it has now wherever it moves; a column coming back gets its minimum.
    QHash<int, int> widthOf;
    for (int i = 1; i < m_model->columnCount(); ++i)
        widthOf.insert(m_model->columnLayout().displayColumn(i), m_viewGrid->columnWidth(i));
    m_model->setColumnLayout(LoadColumnLayout(m_settings));
    QList<int> widths{completionColumnWidth()};
    for (int i = 1; i < m_model->columnCount(); ++i) {
        const int display = m_model->columnLayout().displayColumn(i);
        widths.append(widthOf.value(display, displayColumnMinWidth(display)));
    }
    m_header->setSectionResizeMode(0, QHeaderView::Fixed);
    applyWidths(widths);
    selectRow(m_view.currentRow());
    autosizeIfEnabled();
}

void TaskListWidget::settingsSectionChanged(const QString& section)
{
    const auto is = [&section](QLatin1String name) { return section.compare(name, Qt::CaseInsensitive) == 0; };
    if (is(Settings::Font) || is(Settings::Colors) || is(Settings::Display) || is(Settings::Other)) {
        applyStyle();
        if (is(Settings::Font))
            autosizeIfEnabled();
    } else if (is(Settings::VisibleColumns) || is(Settings::ColumnsOrder)) {
        applyColumns();
    }
}

void TaskListWidget::saveColumnWidths()
{
    QList<int> widths;
    for (int i = 0; i < m_model->columnCount(); ++i)
        widths.append(m_viewGrid->columnWidth(i));
    SaveColumnWidths(m_settings, widths);
}

void TaskListWidget::applyWidths(const QList<int>& widths)
{
    ResizeGuard = true;
    for (int i = 0; i < widths.size() && i < m_model->columnCount(); ++i)
        m_viewGrid->setColumnWidth(i, widths[i]);
    ResizeGuard = false;
}

RebuildResult TaskListWidget::rebuildView(bool moveEditedToTop, const std::function<void()>& tableFinal)
{
    const RebuildResult result = m_view.RebuildView(moveEditedToTop, tableFinal);
    showRebuild(result);
    return result;
}

void TaskListWidget::showRebuild(const RebuildResult& result)
{
    m_lastRebuild = result;
    if (result.rowsChanged && !m_columnExtents.isEmpty()) {
        if (result.rowDiffKnown && m_delegate->style().font == m_widthFont) {
            const auto measure = cellMeasure();
            for (qsizetype k = 0; k < m_measuredColumns.size(); ++k) {
                const int display = m_measuredColumns[k];
                const int column = displayTableColumn(display);
                for (const QString& row : result.removedRows)
                    m_columnExtents[k].remove(measuredCellWidth(TSortGrid::cellOf(row, column), display, measure));
                for (const QString& row : result.addedRows)
                    m_columnExtents[k].add(measuredCellWidth(TSortGrid::cellOf(row, column), display, measure));
            }
        } else {
            m_columnExtents.clear();
        }
    }
    if (!result.changedRows.isEmpty())
        m_model->rowsUpdated(result.changedRows);
    else if (result.rowsChanged)
        m_model->reload();
    selectRow(result.currentRow);
    m_viewGrid->viewport()->update();
    m_header->viewport()->update();
}

void TaskListWidget::selectRow(int row)
{
    m_view.setCurrentRow(row);
    const QModelIndex index = m_model->index(m_view.currentRow(), 0);
    if (index.isValid() && m_viewGrid->currentIndex().row() != index.row())
        m_viewGrid->setCurrentIndex(index);
    else if (index.isValid())
        Q_EMIT currentTaskChanged(index.row());
}

void TaskListWidget::autosizeIfEnabled()
{
    if (m_settings.readBool(Settings::Other, Settings::Autosize, true))
        AutosizeColumns();
}

void TaskListWidget::AutosizeColumns()
{
    const ColumnLayout& layout = m_model->columnLayout();
    const QFont& font = m_delegate->style().font;
    if (font != m_widthFont) {
        m_widths.clear();
        m_widthFont = font;
        m_columnExtents.clear();
    }
    // The contents are measured again only after they changed; a resize of the window only
    // shares out the width anew.
    const bool known = std::all_of(m_columnExtents.cbegin(), m_columnExtents.cend(),
                                   [](const WidestCount& extent) { return extent.known(); });
    if (m_columnExtents.isEmpty() || !known) {
        m_measuredColumns.clear();
        for (int i = 0; i < layout.count; ++i) {
            const int m = layout.ColumnMap[size_t(i)];
            if (m != 1 && m != 2 && m != 6 && m != NoDisplayColumn)
                m_measuredColumns.append(m);
        }
        m_columnExtents = measuredColumnWidths(m_view.MirrorGrid.rows(), m_measuredColumns, cellMeasure());
    }

    AutosizeInput input;
    input.tableColumnWidths.fill(0, TaskColumnCount);
    for (qsizetype k = 0; k < m_measuredColumns.size(); ++k)
        input.tableColumnWidths[displayTableColumn(m_measuredColumns[k])] = m_columnExtents[k].widest() + 1;
    for (int i = 0; i < layout.count; ++i)
        input.captionWidths.append(m_header->captionWidth(i));
    input.dueDateWidth = m_view.DueDateWidth;
    input.dueTimeWidth = m_view.DueTimeWidth;
    input.viewWidth = m_viewGrid->width();
    input.frameWidth = 2 * m_viewGrid->frameWidth();
    const int rowsHeight = m_model->rowCount() * m_viewGrid->verticalHeader()->defaultSectionSize();
    if (rowsHeight > m_viewGrid->viewport()->height())
        input.scrollBarWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_viewGrid);
    input.verticalLines = m_delegate->style().verticalLines;
    applyWidths(autosizeColumnWidths(layout, input));
}

std::function<int(const QString&)> TaskListWidget::cellMeasure()
{
    return [this, fm = QFontMetrics(m_widthFont)](const QString& text) {
        return m_widths.width(text, [&fm](const QString& t) { return fm.horizontalAdvance(t); });
    };
}

int TaskListWidget::completionColumnWidth() const
{
    // The fixed width, unless the list's font needs more for the widest percentage.
    const int widest =
        CellTextIndent + QFontMetrics(m_delegate->style().font).horizontalAdvance(QStringLiteral("100%")) + 1;
    return std::max(CompletionViewWidth, widest);
}

void TaskListWidget::headerClicked(int logicalIndex)
{
    const int sortColumn = displaySortColumn(m_model->columnLayout().displayColumn(logicalIndex));
    if (sortColumn < 0)
        return;
    const RebuildResult result = m_view.HeaderSort(sortColumn);
    showRebuild(result);
    Q_EMIT viewRebuilt();
}

void TaskListWidget::headerResized(int logicalIndex, int oldSize, int newSize)
{
    Q_UNUSED(oldSize);
    if (ResizeGuard)
        return;
    const int display = m_model->columnLayout().displayColumn(logicalIndex);
    const int width = logicalIndex == 0 ? completionColumnWidth() : constrainedColumnWidth(display, newSize);
    if (width != newSize) {
        ResizeGuard = true;
        m_header->resizeSection(logicalIndex, width);
        ResizeGuard = false;
    }
}

bool TaskListWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_viewGrid->viewport())
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonDblClick) {
        Q_EMIT editRequested();
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
        return true; // the release selects the row; the press must not start a drag selection
    if (event->type() != QEvent::MouseButtonRelease)
        return QWidget::eventFilter(watched, event);

    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint pos = mouse->position().toPoint();
    bool handled = false;
    if (mouse->button() == Qt::LeftButton) {
        if (pos.x() < CompletionClickWidth)
            Q_EMIT checkRequested();
    } else if (mouse->button() == Qt::RightButton) {
        int row = m_viewGrid->rowAt(pos.y());
        if (row < 0)
            row = m_model->rowCount() - 1;
        selectRow(row);
        Q_EMIT contextMenuRequested(m_viewGrid->viewport()->mapToGlobal(pos));
        handled = true;
    }
    m_view.setCurrentRow(m_viewGrid->currentIndex().isValid() ? m_viewGrid->currentIndex().row() : 0);
    m_viewGrid->viewport()->update();
    return handled;
}
