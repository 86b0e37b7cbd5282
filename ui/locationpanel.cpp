#include "ui/locationpanel.h"

#include "core/dataset.h"
#include "core/prompts.h"
#include "recording/locationsampleeditor.h"
#include "recording/messages.h"
#include "ui/formwidgets.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace velmora::ui {

using core::DatasetState;

namespace {

struct FieldControl {
    const char* label;
    const char* field;
    int row;
    int column; // 0 or 4 (the panel has two label/control columns)
    int span;   // columns of the control
};

// Label, field and place of the plain text fields.
constexpr FieldControl kLocationFields[] = {
    {"Locatienaam", "LOCATIE", 0, 0, 3},
    {"Locatiecode", "LOCCODE", 0, 4, 1},
    {"Locatie-eigenaar ", "OWNER", 1, 4, 1},
    {"Analist", "ANALIST", 2, 4, 1},
    {"pH", "PH", 3, 4, 1},
    {"Geleiding", "GELEIDING", 4, 4, 1},
    {"Watertemperatuur", "WATERTEMP", 5, 4, 1},
    {"Herbarium (code)", "HERBARIUM", 6, 4, 1},
    {"Soort monster (knijp, plankton)", "MONSTERSRT", 3, 0, 3},
    {"Opmerking", "OPMLOCATIE", 4, 0, 3},
};

DBComboBox* MakeCombo(QWidget* parent, const QStringList& items) {
    auto* combo = new DBComboBox(parent);
    combo->addItems(items);
    return combo;
}

} // namespace

LocationPanel::LocationPanel(core::Dataset& locations, QWidget* parent)
    : QGroupBox(parent), m_locations(locations) {
    setObjectName(QStringLiteral("Locationpnl"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    auto edit = [&](const char* field) {
        auto* e = new DBEdit(this);
        e->Bind(&m_locations, QString::fromLatin1(field));
        m_edits[QString::fromLatin1(field)] = e;
        return e;
    };
    for (const FieldControl& f : kLocationFields) {
        QLabel* label = MakeLabel(QString::fromUtf8(f.label),
                                  QStringLiteral("Lbl") + QString::fromLatin1(f.field), this);
        label->setWordWrap(true); // long captions take two lines in the fixed-width window
        grid->addWidget(label, f.row, f.column);
        DBEdit* e = edit(f.field);
        if (f.column > 0)
            e->setMinimumWidth(130);
        grid->addWidget(e, f.row, f.column + 1, 1, f.span);
    }
    // Date: day, month, year side by side.
    grid->addWidget(MakeLabel(QStringLiteral("Dag"), QStringLiteral("LblDAG"), this), 1, 0);
    auto* date = new QHBoxLayout;
    for (const char* f : {"DAG", "MAAND", "JAAR"}) {
        if (QLatin1String(f) != QLatin1String("DAG"))
            date->addWidget(MakeLabel(QLatin1String(f) == QLatin1String("MAAND")
                                          ? QStringLiteral("Maand")
                                          : QStringLiteral("Jaar"),
                                      QStringLiteral("Lbl") + QString::fromLatin1(f), this));
        DBEdit* e = edit(f);
        e->setMaximumWidth(QLatin1String(f) == QLatin1String("JAAR") ? 52 : 32);
        date->addWidget(e);
    }
    date->addStretch(1);
    grid->addLayout(date, 1, 1, 1, 3);
    connect(m_edits[QStringLiteral("DAG")], &DBEdit::FocusLeft, this, [this] { DBEDagExit(); });
    connect(m_edits[QStringLiteral("MAAND")], &DBEdit::FocusLeft, this, [this] { DBEMaandExit(); });
    connect(m_edits[QStringLiteral("JAAR")], &DBEdit::FocusLeft, this, [this] { DBEJaarExit(); });

    // Coordinates, with labels that follow the coordinate system.
    m_coordXLabel =
        MakeLabel(recording::ResStr(recording::rsCoordLabelX), QStringLiteral("CoordXLabel"), this);
    m_coordYLabel =
        MakeLabel(recording::ResStr(recording::rsCoordLabelY), QStringLiteral("CoordYLabel"), this);
    auto* coords = new QHBoxLayout;
    coords->addWidget(edit("COORDX"));
    coords->addWidget(m_coordYLabel);
    coords->addWidget(edit("COORDY"));
    grid->addWidget(m_coordXLabel, 2, 0);
    grid->addLayout(coords, 2, 1, 1, 3);

    grid->addWidget(MakeLabel(QStringLiteral("Zuurgraad"), QStringLiteral("LblZUURGRAAD"), this), 5,
                    0);
    m_zuurgraad = MakeCombo(this, {QStringLiteral("Zuur"), QStringLiteral("Zwak zuur"),
                                   QStringLiteral("Neutraal-alkalisch")});
    m_zuurgraad->Bind(&m_locations, QStringLiteral("ZUURGRAAD"));
    m_zuurgraad->SetItemsTranslatable(true);
    grid->addWidget(m_zuurgraad, 5, 1);
    grid->addWidget(MakeLabel(QStringLiteral("Abundantiemaat"), QStringLiteral("LblAMAAT"), this),
                    5, 2);
    m_amaat = MakeCombo(this, {QStringLiteral("Aanwezig"), QStringLiteral("1,2 of 3 (dood=0)"),
                               QStringLiteral("cel/ml")});
    m_amaat->Bind(&m_locations, QStringLiteral("AMAAT"));
    m_amaat->SetItemsTranslatable(true);
    grid->addWidget(m_amaat, 5, 3);

    m_biotopeLabel = MakeLabel(QStringLiteral("Biotoop"), QStringLiteral("LblWTYPE"), this);
    grid->addWidget(m_biotopeLabel, 6, 0);
    auto* biotope = new QHBoxLayout;
    DBEdit* wtype = edit("WTYPE");
    wtype->setMaximumWidth(60);
    biotope->addWidget(wtype);
    m_biotoopbox = new QComboBox(this);
    m_biotoopbox->setObjectName(QStringLiteral("Biotoopbox"));
    m_biotoopbox->setMinimumWidth(260);
    biotope->addWidget(m_biotoopbox, 1);
    grid->addLayout(biotope, 6, 1, 1, 3);
    connect(m_biotoopbox, &QComboBox::activated, this, [this](int) { BiotoopboxChange(); });
    connect(wtype, &QLineEdit::textChanged, this, [this] { DBEWatertypeChange(); });

    // Expert: the location number and the location-ID holder of the sample side.
    auto* expert = new QHBoxLayout;
    DBEdit* id = edit("ID");
    id->setReadOnly(true);
    m_locIdHolder = new QLineEdit(this);
    m_locIdHolder->setObjectName(QStringLiteral("LocIDHolder"));
    m_locIdHolder->setReadOnly(true);
    auto* idLabel = MakeLabel(QStringLiteral("ID"), QStringLiteral("LblID"), this);
    expert->addWidget(idLabel);
    expert->addWidget(id);
    expert->addWidget(m_locIdHolder);
    grid->addLayout(expert, 7, 4, 1, 2);
    m_expertWidgets << idLabel << id << m_locIdHolder;

    DBEdit* remark = m_edits[QStringLiteral("OPMLOCATIE")];
    connect(remark, &QLineEdit::textChanged, remark,
            [remark](const QString& text) { remark->setToolTip(text); });
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setColumnStretch(5, 1);
}

DBEdit* LocationPanel::Edit(const QString& field) const {
    auto it = m_edits.find(field);
    return it == m_edits.end() ? nullptr : it->second;
}

QList<QWidget*> LocationPanel::TabOrder() const {
    QList<QWidget*> order;
    for (const char* f :
         {"LOCATIE", "DAG", "MAAND", "JAAR", "COORDX", "COORDY", "MONSTERSRT", "OPMLOCATIE"})
        order << Edit(QString::fromLatin1(f));
    order << m_zuurgraad << m_amaat << Edit(QStringLiteral("WTYPE")) << m_biotoopbox;
    for (const char* f :
         {"LOCCODE", "OWNER", "ANALIST", "PH", "GELEIDING", "WATERTEMP", "HERBARIUM"})
        order << Edit(QString::fromLatin1(f));
    return order;
}

void LocationPanel::SetCoordinateLabels(bool latLon) {
    m_coordXLabel->setText(
        recording::ResStr(latLon ? recording::rsLongitudeLabel : recording::rsCoordLabelX));
    m_coordYLabel->setText(
        recording::ResStr(latLon ? recording::rsLatitudeLabel : recording::rsCoordLabelY));
}

void LocationPanel::SetBiotopes(const QStringList& codes, const QStringList& texts) {
    m_biotopeCodes = codes;
    m_biotoopbox->clear();
    m_biotoopbox->addItems(texts);
    SelectBiotopeOfWType();
}

QString LocationPanel::LocationText(const QString& field) const {
    if (!m_locations.Active() ||
        (m_locations.State() == DatasetState::Browse && m_locations.IsEmpty()))
        return {};
    return m_locations.FieldByName(field).AsString();
}

bool LocationPanel::Editing() const {
    const DatasetState s = m_locations.State();
    return s == DatasetState::Edit || s == DatasetState::Insert;
}

void LocationPanel::SelectBiotopeOfWType() {
    const QString code = LocationText(QStringLiteral("WTYPE"));
    int index = -1;
    for (int i = 0; i < m_biotopeCodes.size(); ++i) {
        if (m_biotopeCodes[i].compare(code, Qt::CaseInsensitive) == 0) {
            index = i;
            break;
        }
    }
    const QSignalBlocker block(m_biotoopbox);
    m_biotoopbox->setCurrentIndex(index);
    m_biotopeLabel->setToolTip(m_biotoopbox->currentText());
}

void LocationPanel::BiotoopboxChange() {
    const QString code = m_biotoopbox->currentText().left(5).trimmed();
    m_edits[QStringLiteral("WTYPE")]->Link().Write(code);
    m_biotopeLabel->setToolTip(m_biotoopbox->currentText());
}

void LocationPanel::DBEWatertypeChange() {
    SelectBiotopeOfWType();
}

void LocationPanel::CheckDateAndWarn() {
    if (!recording::IsStorableDate(LocationText(QStringLiteral("DAG")),
                                   LocationText(QStringLiteral("MAAND")),
                                   LocationText(QStringLiteral("JAAR"))))
        core::UserPrompts().Message(recording::ResStr(recording::rsDateError),
                                    core::MessageKind::Warning);
}

void LocationPanel::PadField(const QString& field) {
    if (!Editing())
        return;
    const QString text = LocationText(field);
    const QString padded = recording::PadDayOrMonth(text);
    if (padded != text)
        m_locations.FieldByName(field).SetAsString(padded);
}

void LocationPanel::DBEDagExit() {
    if (!Editing())
        return;
    if (!LocationText(QStringLiteral("MAAND")).isEmpty() &&
        !LocationText(QStringLiteral("JAAR")).isEmpty())
        CheckDateAndWarn();
    PadField(QStringLiteral("DAG"));
}

void LocationPanel::DBEMaandExit() {
    if (!Editing())
        return;
    if (!LocationText(QStringLiteral("DAG")).isEmpty() &&
        !LocationText(QStringLiteral("JAAR")).isEmpty())
        CheckDateAndWarn();
    PadField(QStringLiteral("MAAND"));
}

void LocationPanel::DBEJaarExit() {
    // An empty year is still being typed; the post refuses a location without one.
    if (Editing() && !LocationText(QStringLiteral("JAAR")).trimmed().isEmpty())
        CheckDateAndWarn();
}

} // namespace velmora::ui
