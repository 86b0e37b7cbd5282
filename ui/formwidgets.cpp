#include "ui/formwidgets.h"

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

} // namespace velmora::ui
