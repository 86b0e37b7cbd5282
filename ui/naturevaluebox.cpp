#include "ui/naturevaluebox.h"

#include "ecology/messages.h"
#include "ecology/naturevaluetally.h"
#include "ui/formwidgets.h"
#include "ui/locationpanel.h"
#include "ui/messages.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace velmora::ui {

NatureValueBox::NatureValueBox(QWidget* parent)
    : QGroupBox(QStringLiteral("Natuurwaarde"), parent) {
    setObjectName(QStringLiteral("NWBox"));
    auto* nw = new QGridLayout(this);
    nw->setVerticalSpacing(1);
    const std::pair<const char*, const char*> rows[] = {{"AantalTaxa", "Aantal Taxa: "},
                                                        {"Divers", "Divers. (d - D):"},
                                                        {"Zeldz", "Zeldz. (r - R):"},
                                                        {"Sign", "Sign.. (s - S):"}};
    int row = 0;
    for (const auto& [name, caption] : rows) {
        nw->addWidget(MakeLabel(QString::fromLatin1(caption),
                                QString::fromLatin1(name) + QStringLiteral("Label"), this),
                      row, 0);
        auto* field = new QLineEdit(this);
        field->setObjectName(QString::fromLatin1(name));
        field->setReadOnly(true);
        field->setMaximumWidth(80);
        nw->addWidget(field, row, 1);
        m_fields[QString::fromLatin1(name)] = field;
        ++row;
    }
    m_redListLabel =
        MakeLabel(ecology::ResStr(ecology::rsRedListLabel), QStringLiteral("RodeLijstLabel"), this);
    m_natureValueLabel = MakeLabel(ecology::ResStr(ecology::rsNatureValueLabel),
                                   QStringLiteral("NatuurwaardeLabel"), this);
    QFont bold = m_natureValueLabel->font();
    bold.setBold(true);
    m_natureValueLabel->setFont(bold);
    nw->addWidget(m_redListLabel, row++, 0, 1, 2);
    nw->addWidget(m_natureValueLabel, row++, 0, 1, 2);
    // A few words in the box, the whole sentence as its tooltip (the nature value window
    // shows the sentence).
    m_diversityOnlyLabel =
        MakeLabel(ResStr(rsDiversityOnlyShort), QStringLiteral("DiversityOnlyLabel"), this);
    m_diversityOnlyLabel->setStyleSheet(QStringLiteral("color: #a00000;"));
    m_diversityOnlyLabel->hide();
    nw->addWidget(m_diversityOnlyLabel, row++, 0, 1, 2);
    m_ignoreBox = new QCheckBox(QStringLiteral("Negeer D, 0, ? en T "), this);
    m_ignoreBox->setObjectName(QStringLiteral("NegeerBox"));
    m_alternativeBox = new QCheckBox(QStringLiteral("Alternatieve Methode"), this);
    m_alternativeBox->setObjectName(QStringLiteral("AlternatiefBox"));
    nw->addWidget(m_ignoreBox, row++, 0, 1, 2);
    nw->addWidget(m_alternativeBox, row++, 0, 1, 2);
    connect(m_ignoreBox, &QCheckBox::clicked, this, &NatureValueBox::ChoiceChanged);
    connect(m_alternativeBox, &QCheckBox::clicked, this, &NatureValueBox::ChoiceChanged);
    nw->setRowStretch(row, 1);
}

QLineEdit* NatureValueBox::Field(const QString& objectName) const {
    auto it = m_fields.find(objectName);
    return it == m_fields.end() ? nullptr : it->second;
}

void NatureValueBox::ClearFields() {
    for (auto& [name, field] : m_fields)
        field->clear();
}

void NatureValueBox::Clear(bool diversityOnly) {
    ClearFields();
    m_redListLabel->setText(ecology::ResStr(ecology::rsRedListLabel));
    m_natureValueLabel->setText(ecology::ResStr(ecology::rsNatureValueLabel));
    m_diversityOnlyLabel->setText(ResStr(rsDiversityOnlyShort));
    m_diversityOnlyLabel->setToolTip(ResStr(rsOnlyDiversity));
    m_diversityOnlyLabel->setVisible(diversityOnly);
}

void NatureValueBox::Show(const ecology::MainWindowSummary& summary, const QString& redListNames) {
    m_fields[QStringLiteral("AantalTaxa")]->setText(summary.aantalTaxa);
    m_fields[QStringLiteral("Divers")]->setText(summary.divers);
    m_fields[QStringLiteral("Zeldz")]->setText(summary.zeldz);
    m_fields[QStringLiteral("Sign")]->setText(summary.sign);
    m_redListLabel->setText(summary.redListLabel);
    QString tooltip = redListNames;
    m_redListLabel->setToolTip(tooltip.replace(QStringLiteral("\n\r"), QStringLiteral("\n")));
    m_natureValueLabel->setText(summary.natureValueLabel);
}

} // namespace velmora::ui
