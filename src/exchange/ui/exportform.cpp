#include "exchange/ui/exportform.h"

#include "core/applanguage.h"
#include "core/atomicfile.h"
#include "core/clock.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/tablefiles.h"
#include "core/ui/ask.h"
#include "core/ui/formplacement.h"
#include "core/ui/widgetnames.h"
#include "exchange/delimitedtext.h"
#include "exchange/exportgrid.h"
#include "exchange/icalendar.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {

QPushButton* arrowButton(QWidget* parent, const QString& name, const QString& text, const QString& hint)
{
    auto* button = named(new QPushButton(text, parent), name);
    button->setToolTip(hint);
    button->setFixedWidth(32);
    return button;
}

} // namespace

TExportForm::TExportForm(SettingsStore& settings, const TSortGrid& mirrorGrid, const TSortGrid& backGrid,
                         const TSortGrid& diary, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_mirror(mirrorGrid), m_log(backGrid), m_diary(diary)
{
    setObjectName(QStringLiteral("TExportForm"));
    setWindowTitle(QStringLiteral("Export tasks"));

    Notebook1 = named(new QStackedWidget(this), QStringLiteral("Notebook1"));

    // Page "What".
    auto* whatPage = named(new QWidget, QStringLiteral("What"));
    auto* rgWhat = named(new QGroupBox(QStringLiteral("What to export"), whatPage), QStringLiteral("rgWhat"));
    auto* whatGroup = new QButtonGroup(this);
    auto* whatLayout = new QVBoxLayout(rgWhat);
    const QString whatTexts[] = {QStringLiteral("Active tasks"), QStringLiteral("Task log"),
                                 QStringLiteral("Diary (iCalendar)")};
    for (int i = 0; i < 3; ++i) {
        m_whatButtons[i] = new QRadioButton(whatTexts[i], rgWhat);
        whatGroup->addButton(m_whatButtons[i], i);
        whatLayout->addWidget(m_whatButtons[i]);
    }
    m_whatButtons[whatTasks]->setChecked(true);
    auto* whatPageLayout = new QVBoxLayout(whatPage);
    whatPageLayout->addWidget(rgWhat);
    whatPageLayout->addStretch();
    Notebook1->addWidget(whatPage);

    // Page "Cols".
    auto* colsPage = named(new QWidget, QStringLiteral("Cols"));
    SrcList = named(new QListWidget(colsPage), QStringLiteral("SrcList"));
    SrcList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    SrcList->setSortingEnabled(true);
    SrcList->addItems(exportCaptions());
    DstList = named(new QListWidget(colsPage), QStringLiteral("DstList"));
    DstList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    IncludeBtn = arrowButton(colsPage, QStringLiteral("IncludeBtn"), QStringLiteral(">"), QStringLiteral("Add item"));
    IncAllBtn = arrowButton(colsPage, QStringLiteral("IncAllBtn"), QStringLiteral(">>"), QStringLiteral("Add all items"));
    ExcludeBtn = arrowButton(colsPage, QStringLiteral("ExcludeBtn"), QStringLiteral("<"), QStringLiteral("Remove item"));
    ExAllBtn = arrowButton(colsPage, QStringLiteral("ExAllBtn"), QStringLiteral("<<"), QStringLiteral("Remove all items"));
    auto* arrows = new QVBoxLayout;
    arrows->addStretch();
    for (QPushButton* b : {IncludeBtn, IncAllBtn, ExcludeBtn, ExAllBtn})
        arrows->addWidget(b);
    arrows->addStretch();
    auto* colsLayout = new QGridLayout(colsPage);
    colsLayout->addWidget(new QLabel(QStringLiteral("Source List:"), colsPage), 0, 0);
    colsLayout->addWidget(new QLabel(QStringLiteral("Destination List:"), colsPage), 0, 2);
    colsLayout->addWidget(SrcList, 1, 0);
    colsLayout->addLayout(arrows, 1, 1);
    colsLayout->addWidget(DstList, 1, 2);
    Notebook1->addWidget(colsPage);

    auto* buttons = new QDialogButtonBox(this);
    btnOK = named(buttons->addButton(QStringLiteral("Export!"), QDialogButtonBox::ActionRole), QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    auto* btnCancel =
        named(buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole), QStringLiteral("btnCancel"));
    auto* btnHelp = named(buttons->addButton(QStringLiteral("Help"), QDialogButtonBox::HelpRole), QStringLiteral("btnHelp"));
    offerHelpButton(btnHelp);
    connect(btnOK, &QPushButton::clicked, this, &TExportForm::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TExportForm::reject);
    connect(btnHelp, &QPushButton::clicked, this, [this] { Q_EMIT helpRequested(QStringLiteral("export")); });
    connect(IncludeBtn, &QPushButton::clicked, this, &TExportForm::IncludeBtnClick);
    connect(ExcludeBtn, &QPushButton::clicked, this, &TExportForm::ExcludeBtnClick);
    connect(IncAllBtn, &QPushButton::clicked, this, &TExportForm::IncAllBtnClick);
    connect(ExAllBtn, &QPushButton::clicked, this, &TExportForm::ExAllBtnClick);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Notebook1);
    layout->addWidget(buttons);
    updateButtons();
    layout->setSizeConstraint(QLayout::SetFixedSize); // a fixed dialog border
    restoreFormPlacement(this, m_settings, Settings::Forms::ExportForm);
    m_whatButtons[whatTasks]->setFocus();
}

QStringList TExportForm::fileFilters()
{
    return {QStringLiteral("*.txt (TAB delimited files) (*.txt)"), QStringLiteral("*.csv (CSV files) (*.csv)"),
            QStringLiteral("All files (*)"), QStringLiteral("CSV (comma, RFC 4180) (*.csv)"),
            QStringLiteral("iCalendar (RFC 5545) (*.ics)")};
}

ExchangeFormat TExportForm::formatOfFilter(const QString& filter)
{
    // The classic CSV choice writes semicolons; the other classic ones TAB, whatever the name.
    const QStringList filters = fileFilters();
    switch (filters.indexOf(filter)) {
    case 1:
        return ExchangeFormat::Semicolon;
    case 3:
        return ExchangeFormat::Csv;
    case 4:
        return ExchangeFormat::ICalendar;
    default:
        return ExchangeFormat::Tab;
    }
}

void TExportForm::done(int result)
{
    storeFormPlacement(this, m_settings, Settings::Forms::ExportForm);
    QDialog::done(result);
}

void TExportForm::updateButtons()
{
    IncludeBtn->setEnabled(SrcList->count() > 0);
    IncAllBtn->setEnabled(SrcList->count() > 0);
    ExcludeBtn->setEnabled(DstList->count() > 0);
    ExAllBtn->setEnabled(DstList->count() > 0);
}

void TExportForm::moveSelected(QListWidget* from, QListWidget* to)
{
    int first = -1;
    for (int i = 0; i < from->count() && first < 0; ++i) {
        if (from->item(i)->isSelected())
            first = i;
    }
    // From the last item up, so a multiple selection arrives in reverse order.
    for (int i = from->count() - 1; i >= 0; --i) {
        if (from->item(i)->isSelected()) {
            std::unique_ptr<QListWidgetItem> item(from->takeItem(i));
            to->addItem(item->text());
        }
    }
    from->setFocus();
    from->clearSelection();
    if (from->count() > 0) {
        const int row = first < 0 ? 0 : std::min(first, from->count() - 1);
        from->setCurrentRow(row);
        from->item(row)->setSelected(true);
    }
}

void TExportForm::IncludeBtnClick()
{
    moveSelected(SrcList, DstList);
    updateButtons();
    btnOK->setEnabled(true);
}

void TExportForm::ExcludeBtnClick()
{
    moveSelected(DstList, SrcList);
    updateButtons();
    if (DstList->count() == 0)
        btnOK->setEnabled(false);
}

void TExportForm::IncAllBtnClick()
{
    while (SrcList->count() > 0) {
        std::unique_ptr<QListWidgetItem> item(SrcList->takeItem(0));
        DstList->addItem(item->text());
    }
    SrcList->setCurrentRow(0);
    updateButtons();
    btnOK->setEnabled(true);
}

void TExportForm::ExAllBtnClick()
{
    while (DstList->count() > 0) {
        std::unique_ptr<QListWidgetItem> item(DstList->takeItem(0));
        SrcList->addItem(item->text());
    }
    DstList->setCurrentRow(0);
    updateButtons();
    btnOK->setEnabled(false);
}

void TExportForm::btnOKClick()
{
    if (Notebook1->currentIndex() == 0) {
        if (m_whatButtons[whatLog]->isChecked()) {
            if (fileStep(whatLog, buildLogExportGrid(m_log)) != FileStep::Failed)
                accept();
        } else if (m_whatButtons[whatDiary]->isChecked()) {
            if (fileStep(whatDiary, m_diary) != FileStep::Failed)
                accept();
        } else {
            Notebook1->setCurrentIndex(1);
            SrcList->setFocus();
        }
        return;
    }
    if (DstList->count() == 0) {
        Ask::warning(this, LanguageString(463));
        return;
    }
    QStringList chosen;
    for (int i = 0; i < DstList->count(); ++i)
        chosen.append(DstList->item(i)->text());
    if (fileStep(whatTasks, buildExportGrid(m_mirror, chosen)) != FileStep::Failed)
        accept();
}

TExportForm::FileStep TExportForm::fileStep(What what, const TSortGrid& grid)
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString folder = m_settings.readString(Settings::Startup, Settings::ExportPath, documents);
    QFileDialog dialog(this, QStringLiteral("Please select target file"), folder);
    dialog.setObjectName(QStringLiteral("SaveDialog1"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setSupportedSchemes({QStringLiteral("file")});
    QStringList filters = fileFilters();
    if (what == whatLog)
        filters.removeLast(); // the log has no calendar form
    if (what == whatDiary)
        filters = filters.mid(4);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.first());
    dialog.setDefaultSuffix(what == whatDiary ? QStringLiteral("ics") : QStringLiteral("txt"));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        const ExchangeFormat format = formatOfFilter(filter);
        dialog.setDefaultSuffix(format == ExchangeFormat::ICalendar ? QStringLiteral("ics")
                                : format == ExchangeFormat::Tab  ? QStringLiteral("txt")
                                                                 : QStringLiteral("csv"));
    });
    if (Ask::exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return FileStep::Cancelled;
    const QString path = dialog.selectedFiles().constFirst();
    m_settings.writeString(Settings::Startup, Settings::ExportPath, QFileInfo(path).absolutePath());

    const ExchangeFormat format = formatOfFilter(dialog.selectedNameFilter());
    QString error;
    if (what == whatDiary)
        error = writeFileAtomically(path, icalendarDiaryBytes(grid, Clock::current().now()));
    else if (format == ExchangeFormat::ICalendar)
        error = writeFileAtomically(path, icalendarTasksBytes(m_mirror, Clock::current().now()));
    else
        error = writeDelimitedFile(path, grid, format);
    if (!error.isEmpty()) {
        Ask::critical(this, error);
        return FileStep::Failed;
    }
    m_written = path;
    Ask::information(this, LanguageString(464));
    return FileStep::Written;
}
