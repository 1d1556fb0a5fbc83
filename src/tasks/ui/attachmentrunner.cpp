#include "tasks/ui/attachmentrunner.h"

#include "core/applanguage.h"
#include "core/ui/ask.h"
#include "tasks/attachment.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace {

void showError(QWidget* parent, const QString& text)
{
    Ask::message(parent, QMessageBox::Critical, text, QMessageBox::Ok, QMessageBox::NoButton, QString(),
                 Qt::WindowStaysOnTopHint);
}

} // namespace

bool RunAttachment(QWidget* parent, const QString& path, const QString& failureText)
{
    if (isMissingAttachment(path)) {
        showError(parent, LanguageString(188));
        return false;
    }
    const QUrl url = attachmentUrl(path, QDir::currentPath());
    // The desktop starts its opener without waiting, so a missing file is caught here.
    const bool missingFile = url.isLocalFile() && !QFileInfo::exists(url.toLocalFile());
    if (missingFile || !QDesktopServices::openUrl(url)) {
        showError(parent, failureText.isEmpty() ? QStringLiteral("Error executing program.") : failureText);
        return false;
    }
    return true;
}

void addAttachmentShellMenu(QMenu* menu, QWidget* parent, const QString& path)
{
    if (isMissingAttachment(path))
        return;
    QMenu* explorer = menu->addMenu(QStringLiteral("&Explorer"));
    explorer->setObjectName(QStringLiteral("miExplorer"));
    const QString file = attachmentLocalFile(path, QDir::currentPath());
    if (!file.isEmpty()) {
        QObject::connect(explorer->addAction(QStringLiteral("Open containing folder")), &QAction::triggered, parent,
                         [parent, file] {
                             const QString folder = QFileInfo(file).absolutePath();
                             if (!QFileInfo(folder).isDir() || !QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
                                 showError(parent, QStringLiteral("Error executing program."));
                         });
    }
    QObject::connect(explorer->addAction(QStringLiteral("Copy path")), &QAction::triggered, parent,
                     [path] { QApplication::clipboard()->setText(path); });
}
