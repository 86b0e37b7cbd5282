#include "ui/tprefform.h"

#include "core/coordinates.h"
#include "core/databasestore.h"
#include "core/error.h"
#include "core/folders.h"
#include "core/prompts.h"
#include "core/settings.h"
#include "recording/messages.h"
#include "session/messages.h"
#include "session/session.h"
#include "ui/formtranslator.h"
#include "ui/formwidgets.h"
#include "ui/messages.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace velmora::ui {

namespace {
// The item of a radio group; a group left without a checked item (it never is after
// FormShow) counts as its first item.
int Chosen(const QButtonGroup* group) {
    return std::max(0, group->checkedId());
}

void Check(QButtonGroup* group, int id) {
    if (QAbstractButton* button = group->button(id))
        button->setChecked(true);
}

void ShowError(const QString& message, const core::Error& e) {
    core::UserPrompts().Message(message + QLatin1Char('\n') + e.Message(),
                                core::MessageKind::Error);
}
} // namespace

TPrefForm::TPrefForm(session::Session& session, QWidget* parent)
    : QDialog(parent), m_session(session), m_store(session.Store()) {
    setObjectName(QStringLiteral("PrefForm"));
    setWindowTitle(QStringLiteral("Voorkeuren"));
    auto* layout = new QVBoxLayout(this);

    auto* fields = new QGridLayout;
    m_analistEdit = new QLineEdit(this);
    m_analistEdit->setObjectName(QStringLiteral("AnalistEdit"));
    fields->addWidget(NamedLabel("AnalistLabel", "Analist:", this), 0, 0);
    fields->addWidget(m_analistEdit, 0, 1, 1, 2);
    m_fotoMapEdit = new QLineEdit(this);
    m_fotoMapEdit->setObjectName(QStringLiteral("FotoMapEdit"));
    m_fotoMapEdit->setReadOnly(true);
    m_fotoMapEdit->setMinimumWidth(260);
    m_selectFotoDir = NamedButton("SelectFotoDir", "Wijzig FotoMap", this);
    fields->addWidget(NamedLabel("FotoMapLabel", "FotoMap:", this), 1, 0);
    fields->addWidget(m_fotoMapEdit, 1, 1);
    fields->addWidget(m_selectFotoDir, 1, 2);
    layout->addLayout(fields);

    layout->addWidget(RadioGroup(
        "Sorteer", "Sorteer Locaties op:",
        {"Locatie (alfabetisch)", "Datum (oudste eerst)", "Datum (nieuwste eerst)"}, m_sorteer));
    m_taxonInfoBox =
        new QCheckBox(QStringLiteral("Voeg Taxon info toe bij export van de datatabase"), this);
    m_taxonInfoBox->setObjectName(QStringLiteral("TaxonInfoBox"));
    layout->addWidget(m_taxonInfoBox);
    auto* lists = new QHBoxLayout;
    auto* taxaList = new QVBoxLayout;
    taxaList->addWidget(
        RadioGroup("TaxaListBox", "Annotated Taxa List", {"Nederland", "Europa"}, m_taxaList));
    // Beside the choice: the list imported replaces the one chosen there.
    m_importTaxaList = NamedButton("ImportTaxaListBtn", "Importeer taxalijst...", this);
    taxaList->addWidget(m_importTaxaList);
    lists->addLayout(taxaList);
    lists->addWidget(RadioGroup("Boxplot", "Boxplot", {"Verticaal", "Horizontaal"}, m_boxplot));
    layout->addLayout(lists);

    auto* buttons = new QHBoxLayout;
    m_enButton = NamedButton("ENbtn", "EN", this);
    m_nlButton = NamedButton("NLbtn", "NL", this);
    for (QPushButton* language : {m_enButton, m_nlButton})
        language->setMaximumWidth(40);
    // Inconspicuous on purpose: only a user who knows it is there finds the expert fields.
    m_expertLabel = NamedLabel("ExpertLbl", ".  .", this);
    m_expertLabel->installEventFilter(this);
    m_okButton = NamedButton("OKbtn", "OK", this);
    m_okButton->setDefault(true);
    m_cancelButton = NamedButton("Cancelbtn", "Cancel", this);
    buttons->addWidget(m_enButton);
    buttons->addWidget(m_nlButton);
    buttons->addWidget(m_expertLabel);
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_selectFotoDir, &QPushButton::clicked, this, [this] { SelectFotoDirClick(); });
    connect(m_okButton, &QPushButton::clicked, this, [this] { OKbtnClick(); });
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { CancelbtnClick(); });
    connect(m_enButton, &QPushButton::clicked, this, [this] { ENbtnClick(); });
    connect(m_nlButton, &QPushButton::clicked, this, [this] { NLbtnClick(); });
    connect(m_importTaxaList, &QPushButton::clicked, this, [this] { ImportTaxaListBtnClick(); });
}

TPrefForm::~TPrefForm() = default;

QGroupBox* TPrefForm::RadioGroup(const char* objectName, const char* title,
                                 std::initializer_list<const char*> items, QButtonGroup*& buttons) {
    auto* group = new QGroupBox(QString::fromUtf8(title), this);
    group->setObjectName(QString::fromLatin1(objectName));
    auto* column = new QVBoxLayout(group);
    buttons = new QButtonGroup(this);
    int id = 0;
    // The buttons stay unnamed children of the group: a language file sets them as its Items.
    for (const char* item : items) {
        auto* radio = new QRadioButton(QString::fromUtf8(item), group);
        buttons->addButton(radio, id++);
        column->addWidget(radio);
    }
    return group;
}

const std::vector<core::FieldNameRow>& TPrefForm::FieldNames() const {
    return m_session.FieldNames();
}

void TPrefForm::FormShow() {
    const core::Settings& settings = core::CurrentSettings();
    m_analistEdit->setText(settings.analist);
    m_fotoMapEdit->setText(settings.photoFolder);
    Check(m_sorteer, settings.order >= 0 && settings.order <= 2 ? settings.order : 0);
    m_taxonInfoBox->setChecked(settings.addInfo);
    Check(m_taxaList, settings.number == 0 ? 0 : 1);
    Check(m_boxplot, settings.boxplotOrientation == 0 ? 0 : 1);
}

void TPrefForm::showEvent(QShowEvent* event) {
    // Restoring a minimised window must not throw away what the user has chosen so far.
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

bool TPrefForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_expertLabel && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        ExpertClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TPrefForm::SelectFotoDirClick() {
    QString start = m_fotoMapEdit->text();
    if (start.isEmpty() || !QFileInfo(start).isDir()) {
        try {
            start = core::DocumentsFolder();
        } catch (const core::Error&) {
            core::UserPrompts().Message(ResStr(rsDocumentsNotFound), core::MessageKind::Warning);
            return;
        }
    }
    const QString chosen = core::UserPrompts().ChooseFolder(ResStr(rsSelectDirectory), start, true);
    if (!chosen.isEmpty())
        m_fotoMapEdit->setText(chosen);
}

void TPrefForm::ImportTaxaListBtnClick() {
    core::Prompts& prompts = core::UserPrompts();
    const int number = Chosen(m_taxaList);
    const QString path =
        prompts.ChooseOpenFile(ResStr(rsImportTaxaListCaption), QDir::homePath(),
                               recording::ResStr(recording::rsTaxaListFileFilter) +
                                   QStringLiteral(" (*.csv *.tsv *.txt *.xlsx *.xls)"));
    if (path.isEmpty())
        return;
    const QAbstractButton* item = m_taxaList->button(number);
    const QString list = item ? item->text().remove(QLatin1Char('&')) : QString();
    if (!prompts.YesNo(ResStr(rsImportTaxaListQuestion).arg(list, QDir::toNativeSeparators(path))))
        return;
    recording::TaxaListInstalled installed;
    try {
        const BusyCursor busy;
        // The lists of the setting in force are read again at once; a list chosen here but
        // not yet confirmed with OK is read by OK.
        installed = m_session.ImportTaxaList(path, number);
    } catch (const core::Error& e) {
        prompts.Message(e.Message(), core::MessageKind::Error);
        return;
    }
    prompts.Message(
        installed.backupPath.isEmpty()
            ? recording::ResStr(recording::rsTaxaListImportedNoBackup).arg(installed.records)
            : recording::ResStr(recording::rsTaxaListImported)
                  .arg(installed.records)
                  .arg(QDir::toNativeSeparators(installed.backupPath)));
}

void TPrefForm::OKbtnClick() {
    core::Settings& settings = core::CurrentSettings();
    settings.analist = m_analistEdit->text();
    settings.order = Chosen(m_sorteer);
    if (m_store.IsOpen()) {
        try {
            m_store.Locations().SetIndexName(core::LocationOrderTag(settings.order));
        } catch (const core::Error& e) {
            ShowError(ResStr(rsLocationOrderNotSet), e);
        }
    }
    settings.photoFolder = m_fotoMapEdit->text();
    settings.addInfo = m_taxonInfoBox->isChecked();
    settings.number = Chosen(m_taxaList);
    settings.boxplotOrientation = Chosen(m_boxplot);

    m_session.ReloadReferenceLists();
    if (m_reloadBiotopes)
        m_reloadBiotopes();
    try {
        core::SaveSettings();
    } catch (const core::Error& e) {
        // The choices stay in force for this run; the save at program end tries again.
        ShowError(session::ResStr(session::rsSettingsNotSaved), e);
    }
    accept();
}

void TPrefForm::CancelbtnClick() {
    reject();
}

void TPrefForm::ENbtnClick() {
    SwitchLanguage(QStringLiteral("EN"));
}

void TPrefForm::NLbtnClick() {
    SwitchLanguage(QStringLiteral("NL"));
}

void TPrefForm::ExpertClick() {
    m_expertToggle = 1 - m_expertToggle;
    if (m_expertModeHandler)
        m_expertModeHandler(m_expertToggle == 1);
}

} // namespace velmora::ui
