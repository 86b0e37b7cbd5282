#include "ui/tgridcolumnselect.h"

#include "recording/locationsearch.h"
#include "ui/formwidgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::ui {

TGridColumnSelect::TGridColumnSelect(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("GridColumnSelect"));
    setWindowTitle(QStringLiteral("Velden van de tabel"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        NamedLabel("SelectLabel", "Selecteer de nieuwe veldnaam voor deze kolom", this));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("FieldList"));
    m_list->addItems(recording::LocationFieldCaptions());
    layout->addWidget(m_list, 1);
    auto* buttons = new QHBoxLayout;
    m_okButton = NamedButton("OKbtn", "OK", this);
    m_okButton->setDefault(true);
    m_cancelButton = NamedButton("Cancelbtn", "Cancel", this);
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    layout->addLayout(buttons);
    setMinimumSize(280, 360);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

int TGridColumnSelect::Choose(const QString& field) {
    const int proposed = recording::ProposedFieldIndex(field);
    m_list->clearSelection();
    m_list->setCurrentRow(-1);
    m_proposed.clear();
    if (proposed >= 0 && proposed < m_list->count()) {
        m_list->setCurrentRow(proposed);
        m_proposed = m_list->item(proposed)->text();
    }
    m_list->setFocus();
    if (exec() != QDialog::Accepted)
        return -1;
    const int picked = m_list->currentRow();
    if (picked < 0 || picked >= recording::LocationFieldNames().size() ||
        !m_list->item(picked)->isSelected())
        return -1;
    return picked;
}

QString TGridColumnSelect::CaptionOf(const QString& field) const {
    const int i = static_cast<int>(recording::LocationFieldNames().indexOf(field));
    return i >= 0 && i < m_list->count() ? m_list->item(i)->text() : QString();
}

} // namespace velmora::ui
