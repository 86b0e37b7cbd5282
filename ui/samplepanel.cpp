#include "ui/samplepanel.h"

#include "core/dataset.h"
#include "ecology/taxalist.h"
#include "ui/formwidgets.h"
#include "ui/locationpanel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>

namespace velmora::ui {

SamplePanel::SamplePanel(core::Dataset& samples, const ecology::TaxaList& taxa, QWidget* parent)
    : QGroupBox(parent), m_samples(samples), m_taxa(taxa) {
    setObjectName(QStringLiteral("Desmidpnl"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setVerticalSpacing(2);
    auto edit = [&](const char* field) {
        auto* e = new DBEdit(this);
        e->Bind(&m_samples, QString::fromLatin1(field));
        m_edits[QString::fromLatin1(field)] = e;
        return e;
    };
    grid->addWidget(MakeLabel(QStringLiteral("Sieralg"), QStringLiteral("LblDESMID"), this), 0, 0);
    DBEdit* desmid = edit("DESMID");
    desmid->setObjectName(QStringLiteral("DBEDesmid"));
    grid->addWidget(desmid, 0, 1, 1, 5);
    m_authorLabel = MakeLabel(QString(), QStringLiteral("AuthorLabel"), this);
    m_authorLabel->setTextFormat(Qt::PlainText); // an "&" is shown as it is
    // A long author citation takes a second line instead of widening the panel.
    m_authorLabel->setWordWrap(true);
    m_authorLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    grid->addWidget(m_authorLabel, 1, 1, 1, 5);
    connect(desmid, &QLineEdit::textChanged, this, [this] { DBEDesmidChange(); });

    struct Combo {
        const char* label;
        const char* field;
        QStringList items;
    };
    const Combo combos[] = {
        {"Abundantie", "ABUND", {" ", "0", "+", "1", "2", "3"}},
        {"(D/L/O)", "DL", {" ", "L", "D", "O"}},
        {"Zygospore", "ZYGO", {" ", "+"}},
        {"Afbeelding", "FOTO", {" ", "F", "T"}},
        {"Zekerheid", "ZEKER", {" ", "N", "CF"}},
    };
    int column = 0;
    for (const Combo& c : combos) {
        auto* label = MakeLabel(QString::fromLatin1(c.label),
                                QStringLiteral("Lbl") + QString::fromLatin1(c.field), this);
        if (QLatin1String(c.field) == QLatin1String("DL"))
            label->setToolTip(QStringLiteral("Dood/Levend/Onbekend"));
        grid->addWidget(label, 2, column, Qt::AlignBottom);
        auto* combo = new DBComboBox(this);
        combo->addItems(c.items);
        combo->Bind(&m_samples, QString::fromLatin1(c.field));
        m_combos[QString::fromLatin1(c.field)] = combo;
        grid->addWidget(combo, 3, column);
        // The focus rule: an item equal to the text is selected; other texts stay as typed.
        connect(combo, &DBComboBox::FocusEntered, combo, [combo] {
            const QString text = combo->currentText();
            const int index = combo->findText(text);
            const QSignalBlocker block(combo);
            if (index >= 0) {
                combo->setCurrentIndex(index);
            } else {
                combo->setCurrentIndex(0);
                combo->setEditText(text);
            }
        });
        ++column;
    }
    grid->addWidget(MakeLabel(QStringLiteral("Opmerking"), QStringLiteral("LblOPMDESMID"), this), 4,
                    0);
    grid->addWidget(edit("OPMDESMID"), 4, 1, 1, 5);
    grid->addWidget(MakeLabel(QStringLiteral("Info"), QStringLiteral("LblDESMIDINFO"), this), 5, 0);
    grid->addWidget(edit("DESMIDINFO"), 5, 1, 1, 5);
    for (const char* f : {"OPMDESMID", "DESMIDINFO"}) {
        DBEdit* e = m_edits[QString::fromLatin1(f)];
        connect(e, &QLineEdit::textChanged, e, [e](const QString& t) { e->setToolTip(t); });
    }

    auto* expert = new QHBoxLayout;
    for (const char* f : {"ID", "DATUM", "KXY", "UXY"}) {
        DBEdit* e = edit(f);
        e->setReadOnly(true);
        e->setObjectName(QStringLiteral("DBESample") + QString::fromLatin1(f));
        expert->addWidget(e);
        m_expertWidgets << e;
    }
    grid->addLayout(expert, 6, 1, 1, 5);

    m_navigator = new DBNavigator(this);
    m_navigator->setObjectName(QStringLiteral("SampleNavigator"));
    grid->addWidget(m_navigator, 7, 0, 1, 6);
    m_navigator->Bind(&m_samples);
    m_navigator->SetVisibleButtons({DBNavigator::New, DBNavigator::Delete, DBNavigator::EditRecord,
                                    DBNavigator::Post, DBNavigator::Cancel});
}

DBEdit* SamplePanel::Edit(const QString& field) const {
    auto it = m_edits.find(field);
    return it == m_edits.end() ? nullptr : it->second;
}

DBComboBox* SamplePanel::Combo(const QString& field) const {
    auto it = m_combos.find(field);
    return it == m_combos.end() ? nullptr : it->second;
}

QList<QWidget*> SamplePanel::TabOrder() const {
    QList<QWidget*> order{Desmid()};
    for (const char* f : {"ABUND", "DL", "ZYGO", "FOTO", "ZEKER"})
        order << Combo(QString::fromLatin1(f));
    order << Edit(QStringLiteral("OPMDESMID")) << Edit(QStringLiteral("DESMIDINFO"));
    return order;
}

void SamplePanel::SetScope(const std::function<bool()>& belongs) {
    for (auto& [field, edit] : m_edits)
        edit->Link().SetScope(belongs);
    for (auto& [field, combo] : m_combos)
        combo->Link().SetScope(belongs);
    m_navigator->SetScope(belongs);
}

void SamplePanel::ClearFields() {
    for (auto& [field, edit] : m_edits)
        edit->Refresh();
    for (auto& [field, combo] : m_combos) {
        const QSignalBlocker block(combo);
        combo->setCurrentIndex(0);
        combo->Refresh();
    }
    m_navigator->UpdateButtons();
}

DBEdit* SamplePanel::FocusColumn(int column) {
    static const char* const fields[] = {"",     "",     "DESMID", "ABUND",     "DL",
                                         "ZYGO", "FOTO", "ZEKER",  "OPMDESMID", "DESMIDINFO"};
    if (column < 2 || column > 9)
        column = 2;
    const QString field = QString::fromLatin1(fields[column]);
    if (DBEdit* e = Edit(field)) {
        e->setFocus();
        return column == 2 ? e : nullptr;
    }
    if (DBComboBox* c = Combo(field))
        c->setFocus();
    return nullptr;
}

void SamplePanel::DBEDesmidChange() {
    DBEdit* desmid = Desmid();
    const auto author = m_taxa.Author(desmid->text());
    m_authorLabel->setText(author.value_or(QString()));
    desmid->setToolTip(desmid->text());
}

} // namespace velmora::ui
