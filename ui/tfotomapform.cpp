#include "ui/tfotomapform.h"

#include "core/prompts.h"
#include "support/photofolder.h"
#include "ui/formwidgets.h"
#include "ui/messages.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::ui {

TFotoMapForm::TFotoMapForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FotoMapForm"));
    setWindowTitle(QStringLiteral("LUMAQ Selecteer Fotomap"));
    auto* layout = new QVBoxLayout(this);

    auto* fields = new QGridLayout;
    m_hoofdmap = new QLineEdit(this);
    m_hoofdmap->setObjectName(QStringLiteral("Hoofdmap"));
    m_hoofdmap->setReadOnly(true);
    m_wijzig = NamedButton("Wijzig", "Wijzig", this);
    fields->addWidget(NamedLabel("HoofdmapLabel", "Desmidfoto's hoofdmap", this), 0, 0, 1, 2);
    fields->addWidget(m_hoofdmap, 1, 0);
    fields->addWidget(m_wijzig, 1, 1);
    m_submap = new QLineEdit(this);
    m_submap->setObjectName(QStringLiteral("Submap"));
    fields->addWidget(
        NamedLabel("SubmapLabel", "Desmidfoto's submap. Wijzig eventueel de naam", this), 2, 0, 1,
        2);
    fields->addWidget(m_submap, 3, 0, 1, 2);
    fields->setColumnStretch(0, 1);
    layout->addLayout(fields);
    layout->addStretch(1);

    auto* buttons = new QHBoxLayout;
    m_okButton = NamedButton("OKbtn", "OK", this);
    m_okButton->setDefault(true);
    m_cancelButton = NamedButton("Cancelbtn", "Cancel", this);
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    layout->addLayout(buttons);
    setMinimumWidth(460);

    QWidget::setTabOrder(m_submap, m_okButton);
    QWidget::setTabOrder(m_okButton, m_cancelButton);
    QWidget::setTabOrder(m_cancelButton, m_wijzig);

    connect(m_wijzig, &QPushButton::clicked, this, [this] { WijzigClick(); });
    connect(m_okButton, &QPushButton::clicked, this, [this] { OKbtnClick(); });
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { CancelbtnClick(); });
}

bool TFotoMapForm::Run(QString& mainFolder, QString& subfolder) {
    m_shownMainFolder = mainFolder;
    m_hoofdmap->setText(mainFolder);
    m_submap->setText(subfolder);
    m_submap->setFocus();
    const bool ok = exec() == QDialog::Accepted;
    mainFolder = m_hoofdmap->text();
    subfolder = m_submap->text();
    return ok;
}

void TFotoMapForm::WijzigClick() {
    const QString start = support::FolderDialogStart(m_hoofdmap->text());
    const QString chosen = core::UserPrompts().ChooseFolder(ResStr(rsSelectDirectory), start, true);
    if (!chosen.isEmpty())
        m_hoofdmap->setText(chosen);
}

void TFotoMapForm::OKbtnClick() {
    accept();
}

void TFotoMapForm::CancelbtnClick() {
    reject();
}

void TFotoMapForm::reject() {
    m_hoofdmap->setText(m_shownMainFolder);
    QDialog::reject();
}

QString TFotoMapForm::MainFolder() const {
    return m_hoofdmap->text();
}

QString TFotoMapForm::Subfolder() const {
    return m_submap->text();
}

} // namespace velmora::ui
