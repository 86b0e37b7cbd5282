#include "ui/formwidgets.h"

#include "core/prompts.h"
#include "recording/messages.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

namespace velmora::ui {

QLabel* MakeLabel(const QString& text, const QString& name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QLabel* NamedLabel(const char* objectName, const char* caption, QWidget* parent) {
    return MakeLabel(QString::fromUtf8(caption), QString::fromLatin1(objectName), parent);
}

QPushButton* NamedButton(const char* objectName, const char* caption, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAutoDefault(false);
    return button;
}

QString ChooseFileToWrite(const QString& caption, const QString& start, const QString& filter,
                          const QString& defaultExtension) {
    QString path = core::UserPrompts().ChooseSaveFile(caption, start, filter);
    if (path.isEmpty())
        return {};
    if (!defaultExtension.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += defaultExtension;
    if (QFileInfo::exists(path) &&
        !core::UserPrompts().YesNo(QFileInfo(path).fileName() + QLatin1Char('\n') +
                                   recording::ResStr(recording::rsReplaceQuestion)))
        return {};
    return path;
}

BusyCursor::BusyCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyCursor::~BusyCursor() {
    QApplication::restoreOverrideCursor();
}

} // namespace velmora::ui
