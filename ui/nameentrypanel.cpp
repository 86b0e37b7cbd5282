#include "ui/nameentrypanel.h"

#include "core/dataset.h"
#include "core/error.h"
#include "core/prompts.h"
#include "core/settings.h"
#include "ecology/ecologydata.h"
#include "ecology/taxalistfile.h"
#include "ui/dbcontrols.h"
#include "ui/formwidgets.h"
#include "ui/locationpanel.h"
#include "ui/messages.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::ui {

NameEntryPanel::NameEntryPanel(ecology::EcologyData& ecology, core::Dataset& samples,
                               DBEdit* desmid, QWidget* parent)
    : QWidget(parent), m_ecology(ecology), m_samples(samples), m_desmid(desmid) {
    setObjectName(QStringLiteral("NamePanel"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(MakeLabel(QStringLiteral("Zoek"), QStringLiteral("ZoekLabel"), this));
    m_searchEdit = new QLineEdit(this);
    m_searchEdit->setObjectName(QStringLiteral("SearchEdit"));
    searchRow->addWidget(m_searchEdit);
    layout->addLayout(searchRow);
    m_names = new QListWidget(this);
    m_names->setObjectName(QStringLiteral("Names"));
    m_names->setMinimumHeight(110);
    layout->addWidget(m_names, 1);
    m_voegToeButton = new QPushButton(QStringLiteral("Voeg toe aan Zoeklijst"), this);
    m_voegToeButton->setObjectName(QStringLiteral("VoegToe"));
    layout->addWidget(m_voegToeButton);
    connect(m_searchEdit, &QLineEdit::textChanged, this, [this] { SearchEditChange(); });
    connect(m_names, &QListWidget::itemClicked, this, [this] { NamesClick(); });
    // Walking the list with the arrow keys: the name field follows the highlight.
    connect(m_names, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && m_names->hasFocus())
            TakeName(row);
    });
    connect(m_voegToeButton, &QPushButton::clicked, this, [this] { VoegToeClick(); });
    connect(m_desmid, &DBEdit::FocusEntered, this, [this] { DBEDesmidEnter(); });
}

bool NameEntryPanel::SampleEditing() const {
    const core::DatasetState s = m_samples.State();
    return s == core::DatasetState::Edit || s == core::DatasetState::Insert;
}

void NameEntryPanel::FilterNames(const QString& text) {
    m_names->clear();
    m_names->addItems(m_ecology.searchList.FilterNames(text));
}

bool NameEntryPanel::TakeName(int row) {
    if (!SampleEditing() || row < 0 || row >= m_names->count())
        return false;
    m_desmid->Link().Write(m_names->item(row)->text());
    return true;
}

bool NameEntryPanel::TakeCurrentName() {
    return m_names->currentItem() && TakeName(m_names->currentRow());
}

void NameEntryPanel::SearchEditChange() {
    FilterNames(m_searchEdit->text());
}

void NameEntryPanel::NamesClick() {
    TakeCurrentName();
}

void NameEntryPanel::DBEDesmidEnter() {
    if (m_names->currentItem() && m_names->currentItem()->isSelected())
        TakeCurrentName();
}

void NameEntryPanel::VoegToeClick() {
    AddToSearchList(m_desmid->text());
}

void NameEntryPanel::AddToSearchList(const QString& shown) {
    const QString name = shown.trimmed();
    if (name.isEmpty())
        return;
    if (m_ecology.searchList.Contains(name)) {
        core::UserPrompts().Message(shown + QLatin1Char('\n') + ResStr(rsAlreadyListed));
        return;
    }
    if (!core::UserPrompts().YesNo(shown + QLatin1Char('\n') + ResStr(rsAddToSearchList)))
        return;
    try {
        m_ecology.searchList.AddToAdditionalList(
            name, ecology::AdditionalTaxaListPath(core::CurrentSettings().number));
    } catch (const core::Error& e) {
        core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
    }
}

} // namespace velmora::ui
