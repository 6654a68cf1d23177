#include "app/qt_platform.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QUrl>

void QtEventPump::processEvents()
{
    QCoreApplication::processEvents();
}

MessageAnswer QtMessages::show(MessageKind kind, const QString& text, MessageButtons buttons)
{
    QMessageBox box;
    box.setText(text);
    box.setWindowTitle(QCoreApplication::applicationName());
    switch (kind) {
    case MessageKind::Information: box.setIcon(QMessageBox::Information); break;
    case MessageKind::Error: box.setIcon(QMessageBox::Critical); break;
    case MessageKind::Warning: box.setIcon(QMessageBox::Warning); break;
    case MessageKind::Confirmation: box.setIcon(QMessageBox::Question); break;
    }
    switch (buttons) {
    case MessageButtons::OK: box.setStandardButtons(QMessageBox::Ok); break;
    case MessageButtons::OKCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MessageButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return MessageAnswer::Yes;
    case QMessageBox::No: return MessageAnswer::No;
    case QMessageBox::Ok: return MessageAnswer::OK;
    default: return MessageAnswer::Cancel;
    }
}

void QtShell::ShellOpen(const QString& target)
{
    const QUrl url = QFileInfo::exists(target) ? QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath())
                                               : QUrl::fromUserInput(target);
    QDesktopServices::openUrl(url);
}

void QtShell::Beep()
{
    QApplication::beep();
}

ProgressBarProgress::ProgressBarProgress(QProgressBar* bar, QLabel* label) : m_bar(bar), m_label(label) {}

void ProgressBarProgress::setMaximum(int maximum)
{
    if (m_bar)
        m_bar->setMaximum(maximum);
}

void ProgressBarProgress::setValue(int value)
{
    if (m_bar && m_bar->value() != value) {
        m_bar->setValue(qBound(m_bar->minimum(), value, m_bar->maximum()));
        QCoreApplication::processEvents();
    }
}

int ProgressBarProgress::value() const
{
    return m_bar ? m_bar->value() : 0;
}

void ProgressBarProgress::setText(const QString& text)
{
    if (m_label) {
        m_label->setText(text);
        QCoreApplication::processEvents();
    }
}

QString QtFileDialogs::getOpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                                       const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QStringList QtFileDialogs::getOpenFileNames(QWidget* parent, const QString& caption, const QString& folder,
                                            const QString& filter)
{
    return QFileDialog::getOpenFileNames(parent, caption, folder, filter);
}

QString QtFileDialogs::getSaveFileName(QWidget* parent, const QString& caption, const QString& folderOrFile,
                                       const QString& filter, const QString& defaultSuffix)
{
    QFileDialog dialog(parent, caption, folderOrFile, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return WithDefaultSuffix(dialog.selectedFiles().first(), defaultSuffix);
}

QString QtFileDialogs::getExistingDirectory(QWidget* parent, const QString& caption, const QString& folder)
{
    return QFileDialog::getExistingDirectory(parent, caption, folder);
}

QString WithDefaultSuffix(const QString& fileName, const QString& defaultSuffix)
{
    if (fileName.isEmpty() || defaultSuffix.isEmpty() || !QFileInfo(fileName).suffix().isEmpty())
        return fileName;
    return fileName + QLatin1Char('.') + defaultSuffix;
}
