#include "ui/tnwform.h"

#include "ecology/ecologydata.h"
#include "ui/messages.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

namespace velmora::ui {

namespace {
struct ClassNames {
    const char* caption;
    const char* label;
    const char* bar;
};
constexpr ClassNames kClasses[ecology::SpectrumClassCount] = {
    {"Zuur", "ZL", "ZPB"},       {"Zwak zuur", "ZZL", "ZZPB"},
    {"Neutraal", "NL", "NPB"},   {"Neutraal alkalisch", "NAL", "NAPB"},
    {"Alkalisch", "AL", "APB"},  {"Indifferent/Onbekend", "IOL", "IOPB"},
    {"Oligotroof", "OL", "OPB"}, {"Oligo-mesotroof", "OML", "OMPB"},
    {"Mesotroof", "ML", "MPB"},  {"MesoEutroof", "MEL", "MEPB"},
    {"Eutroof", "EL", "EPB"},    {"Indifferent/Onbekend", "TIL", "TIPB"},
};

// The tally joins names with LF CR; a pop-up shows one name per line.
QString HintText(const QString& joined) {
    QString text = joined;
    text.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    return text;
}

QLineEdit* ValueField(const char* name, QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setReadOnly(true);
    field->setMaximumWidth(48);
    field->setAlignment(Qt::AlignRight);
    return field;
}
} // namespace

TNWForm::TNWForm(ecology::EcologyData& ecology, QWidget* mainWindow, QWidget* parent)
    : QWidget(parent, Qt::Tool), m_ecology(ecology), m_mainWindow(mainWindow) {
    setObjectName(QStringLiteral("NWForm"));
    setWindowTitle(QStringLiteral("Natuurwaarde"));
    setFixedWidth(300);
    // The contents scroll when the main window is lower than they need.
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("NWScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    outer->addWidget(scroll);
    auto* content = new QWidget(scroll);
    content->setObjectName(QStringLiteral("NWContent"));
    scroll->setWidget(content);
    auto* layout = new QVBoxLayout(content);

    auto spectrumGroup = [&](const char* name, const char* title, int first) {
        auto* group = new QGroupBox(QString::fromUtf8(title), this);
        group->setObjectName(QString::fromLatin1(name));
        auto* grid = new QGridLayout(group);
        grid->setVerticalSpacing(2);
        auto* percentHeader = new QLabel(QStringLiteral("%"), group);
        percentHeader->setObjectName(QString::fromLatin1(name) + QStringLiteral("Percent"));
        grid->addWidget(percentHeader, 0, 1, Qt::AlignRight);
        for (int c = first; c < first + 6; ++c) {
            const int row = c - first + 1;
            auto* caption = new QLabel(QString::fromUtf8(kClasses[c].caption), group);
            caption->setObjectName(QString::fromLatin1(kClasses[c].label) +
                                   QStringLiteral("Caption"));
            m_percent[c] = new QLabel(QStringLiteral("0"), group);
            m_percent[c]->setObjectName(QString::fromLatin1(kClasses[c].label));
            m_percent[c]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_percent[c]->setMinimumWidth(28);
            m_bars[c] = new QProgressBar(group);
            m_bars[c]->setObjectName(QString::fromLatin1(kClasses[c].bar));
            m_bars[c]->setRange(0, 100);
            m_bars[c]->setValue(0);
            m_bars[c]->setTextVisible(false);
            m_bars[c]->setMaximumHeight(12);
            m_bars[c]->setMinimumWidth(60);
            grid->addWidget(caption, row, 0);
            grid->addWidget(m_percent[c], row, 1);
            grid->addWidget(m_bars[c], row, 2);
        }
        grid->setColumnStretch(2, 1);
        layout->addWidget(group);
    };
    spectrumGroup("ZuurgraadBox", "Zuurgraad", ecology::SpZuur);
    spectrumGroup("TrofiegraadBox", "Trofiegraad", ecology::SpOligotroof);

    auto* nwGroup = new QGroupBox(QStringLiteral("Natuurwaarde"), this);
    nwGroup->setObjectName(QStringLiteral("NatuurwaardeBox"));
    auto* nwLayout = new QGridLayout(nwGroup);
    auto* milieuBox = new QGroupBox(QStringLiteral("Milieu:"), nwGroup);
    milieuBox->setObjectName(QStringLiteral("Milieu"));
    auto* milieuLayout = new QVBoxLayout(milieuBox);
    milieuLayout->setSpacing(0);
    auto* milieuButtons = new QButtonGroup(this);
    const char* milieuItems[] = {"Zuur", "Zwak zuur", "Neutraal-Alkalisch"};
    for (int i = 0; i < 3; ++i) {
        m_milieu[i] = new QRadioButton(QString::fromLatin1(milieuItems[i]), milieuBox);
        m_milieu[i]->setObjectName(QStringLiteral("MilieuItem%1").arg(i));
        milieuButtons->addButton(m_milieu[i], i);
        milieuLayout->addWidget(m_milieu[i]);
    }
    connect(milieuButtons, &QButtonGroup::idClicked, this, [this](int) { MilieuClick(); });
    nwLayout->addWidget(milieuBox, 0, 0, 1, 3);

    m_dn = ValueField("Dn", nwGroup);
    m_rn = ValueField("Rn", nwGroup);
    m_sn = ValueField("Sn", nwGroup);
    m_dValue = ValueField("DValue", nwGroup);
    m_rValue = ValueField("RValue", nwGroup);
    m_sValue = ValueField("SValue", nwGroup);
    m_rl = ValueField("RL", nwGroup);
    m_nw = ValueField("NW", nwGroup);
    QFont bold = m_nw->font();
    bold.setBold(true);
    m_nw->setFont(bold);
    struct Row {
        const char* name;
        const char* caption;
        QLineEdit* raw;
        QLineEdit* score;
    };
    const Row rows[] = {{"DiversLabel", "Diversiteit (d - D):", m_dn, m_dValue},
                        {"ZeldzLabel", "Zeldzaamheid (r - R):", m_rn, m_rValue},
                        {"SignLabel", "Signaalwaarde (s - S):", m_sn, m_sValue}};
    int row = 1;
    for (const Row& r : rows) {
        auto* label = new QLabel(QString::fromLatin1(r.caption), nwGroup);
        label->setObjectName(QString::fromLatin1(r.name));
        nwLayout->addWidget(label, row, 0);
        nwLayout->addWidget(r.raw, row, 1);
        nwLayout->addWidget(r.score, row, 2);
        ++row;
    }
    m_rlLabel = new QLabel(QStringLiteral("Rodelijstsoorten:"), nwGroup);
    m_rlLabel->setObjectName(QStringLiteral("RLLabel"));
    nwLayout->addWidget(m_rlLabel, row, 0);
    nwLayout->addWidget(m_rl, row, 2);
    ++row;
    auto* nwLabel = new QLabel(QStringLiteral("Natuurwaarde:"), nwGroup);
    nwLabel->setObjectName(QStringLiteral("NWLabel"));
    nwLabel->setFont(bold);
    nwLayout->addWidget(nwLabel, row, 0);
    nwLayout->addWidget(m_nw, row, 2);
    layout->addWidget(nwGroup);

    // A list with names only (no scores) gives diversity alone: said plainly, so that nobody
    // takes the figure for a full assessment.
    m_diversityOnly = new QLabel(ResStr(rsOnlyDiversity), this);
    m_diversityOnly->setObjectName(QStringLiteral("DiversityOnlyLabel"));
    m_diversityOnly->setWordWrap(true);
    m_diversityOnly->setStyleSheet(QStringLiteral("color: #a00000;"));
    m_diversityOnly->hide();
    layout->addWidget(m_diversityOnly);

    auto* onbekendLabel =
        new QLabel(QStringLiteral("Niet of deels meegenomen in de berekening:"), this);
    onbekendLabel->setObjectName(QStringLiteral("OnbekendLabel"));
    layout->addWidget(onbekendLabel);
    m_onbekend = new QListWidget(this);
    m_onbekend->setObjectName(QStringLiteral("Onbekend"));
    layout->addWidget(m_onbekend, 1); // stretches with the window's height

    auto* bottom = new QHBoxLayout;
    m_stick = new QCheckBox(QStringLiteral("Plak aan hoofdvenster"), this);
    m_stick->setObjectName(QStringLiteral("StickBox"));
    m_stick->setChecked(true);
    m_close = new QPushButton(QStringLiteral("Close"), this);
    m_close->setObjectName(QStringLiteral("CloseBtn"));
    bottom->addWidget(m_stick);
    bottom->addStretch(1);
    bottom->addWidget(m_close);
    layout->addLayout(bottom);
    connect(m_close, &QPushButton::clicked, this, [this] { CloseBtnClick(); });

    m_timer = new QTimer(this);
    m_timer->setInterval(50);
    connect(m_timer, &QTimer::timeout, this, [this] { PlaceBesideMain(); });

    ShowResults();
}

TNWForm::~TNWForm() {
    m_timer->stop();
}

QLineEdit* TNWForm::Field(const QString& objectName) const {
    return findChild<QLineEdit*>(objectName);
}

void TNWForm::ShowResults() {
    const ecology::NatureValueTally& tally = m_ecology.tally;
    const ecology::NatureValueResult& res = tally.Result();
    for (int c = 0; c < ecology::SpectrumClassCount; ++c) {
        m_percent[c]->setText(res.percent[c]);
        m_bars[c]->setValue(res.bar[c]);
        m_bars[c]->setToolTip(HintText(tally.SpectrumHint(c)));
    }
    m_dn->setText(res.dn);
    m_rn->setText(res.rn);
    m_sn->setText(res.sn);
    m_dValue->setText(res.dValue);
    m_rValue->setText(res.rValue);
    m_sValue->setText(res.sValue);
    m_rl->setText(res.rl);
    m_nw->setText(res.nw);
    const QString redList = HintText(tally.RedListNames());
    m_rl->setToolTip(redList);
    m_rlLabel->setToolTip(redList);
    m_onbekend->clear();
    m_onbekend->addItems(tally.NotCounted());
    m_diversityOnly->setText(ResStr(rsOnlyDiversity));
    m_diversityOnly->setVisible(m_ecology.taxaList.DiversityOnly());
    SelectMilieu(tally.CurrentMilieu());
}

void TNWForm::SelectMilieu(ecology::Milieu milieu) {
    for (int i = 0; i < 3; ++i) {
        m_milieu[i]->setAutoExclusive(false);
        m_milieu[i]->setChecked(i == milieu);
        m_milieu[i]->setAutoExclusive(true);
    }
}

ecology::Milieu TNWForm::SelectedMilieu() const {
    for (int i = 0; i < 3; ++i)
        if (m_milieu[i]->isChecked())
            return static_cast<ecology::Milieu>(i);
    return ecology::MilieuNone;
}

void TNWForm::MilieuClick() {
    m_ecology.tally.SetMilieu(SelectedMilieu());
    m_ecology.tally.ComputeNatureValue();
    ShowResults();
    emit MilieuChanged();
}

void TNWForm::ShowBesideMain() {
    show();
    PlaceBesideMain();
    m_timer->start();
}

void TNWForm::PlaceBesideMain() {
    if (!m_mainWindow || !m_stick->isChecked())
        return;
    const QRect main = m_mainWindow->frameGeometry();
    move(main.x() + main.width() - 2, main.y());
    resize(width(), m_mainWindow->height());
}

void TNWForm::CloseBtnClick() {
    m_timer->stop();
    close();
}

} // namespace velmora::ui
