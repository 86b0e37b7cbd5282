#include "ui/qtprompts.h"

#include "ui/tprogress.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace velmora::ui {

QtPrompts::QtPrompts(QWidget* parent) : m_parent(parent) {}

void QtPrompts::Message(const QString& text, core::MessageKind kind) {
    const QString title = QApplication::applicationDisplayName();
    switch (kind) {
    case core::MessageKind::Warning:
        QMessageBox::warning(m_parent, title, text);
        break;
    case core::MessageKind::Error:
        QMessageBox::critical(m_parent, title, text);
        break;
    case core::MessageKind::Information:
    case core::MessageKind::Confirmation:
        QMessageBox::information(m_parent, title, text);
        break;
    }
}

bool QtPrompts::YesNo(const QString& text) {
    return QMessageBox::question(m_parent, QApplication::applicationDisplayName(), text,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool QtPrompts::YesNoDefaultNo(const QString& text) {
    return QMessageBox::question(m_parent, QApplication::applicationDisplayName(), text,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

core::Answer QtPrompts::YesNoCancel(const QString& text) {
    switch (QMessageBox::question(m_parent, QApplication::applicationDisplayName(), text,
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes:
        return core::Answer::Yes;
    case QMessageBox::No:
        return core::Answer::No;
    default:
        return core::Answer::Cancel;
    }
}

bool QtPrompts::OkAbort(const QString& text) {
    return QMessageBox::question(m_parent, QApplication::applicationDisplayName(), text,
                                 QMessageBox::Ok | QMessageBox::Abort) == QMessageBox::Ok;
}

std::optional<QString> QtPrompts::InputText(const QString& caption, const QString& prompt,
                                            const QString& initial) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(m_parent, caption, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QString QtPrompts::ChooseOpenFile(const QString& caption, const QString& startDir,
                                  const QString& filter) {
    return QFileDialog::getOpenFileName(m_parent, caption, startDir, filter);
}

QString QtPrompts::ChooseSaveFile(const QString& caption, const QString& startPath,
                                  const QString& filter) {
    // The program asks its own overwrite question where it needs one.
    return QFileDialog::getSaveFileName(m_parent, caption, startPath, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QString QtPrompts::ChooseFolder(const QString& title, const QString& startDir,
                                bool allowNewFolder) {
    QFileDialog dialog(m_parent, title, startDir);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setOption(QFileDialog::ReadOnly, !allowNewFolder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString folder = dialog.selectedFiles().constFirst();
    return QFileInfo(folder).isDir() ? folder : QString();
}

std::optional<core::TColor> QtPrompts::ChooseColor(core::TColor initial) {
    const QColor color = QColorDialog::getColor(core::ToQColor(initial), m_parent);
    if (!color.isValid())
        return std::nullopt;
    return core::FromQColor(color);
}

std::optional<QFont> QtPrompts::ChooseFont(const QFont& initial) {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, m_parent);
    if (!ok)
        return std::nullopt;
    return font;
}

void QtPrompts::SetProgressRange(int minimum, int maximum) {
    if (m_progress)
        m_progress->SetRange(minimum, maximum);
}

void QtPrompts::StartProgress() {
    if (m_progress)
        m_progress->StartProgress();
}

bool QtPrompts::StepProgress(int position) {
    return m_progress ? m_progress->StepProgress(position) : false;
}

void QtPrompts::FinishProgress() {
    if (m_progress)
        m_progress->FinishProgress();
}

} // namespace velmora::ui
