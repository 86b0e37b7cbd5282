#include "ui/dbcontrols.h"

#include "core/error.h"
#include "core/prompts.h"
#include "ui/messages.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>

namespace velmora::ui {

using core::DatasetState;
namespace dbf = core::dbf;

FieldLink::~FieldLink() {
    Unbind();
}

void FieldLink::Bind(core::Dataset* dataset, const QString& field, std::function<void()> refresh) {
    Unbind();
    m_dataset = dataset;
    m_field = field;
    if (m_dataset)
        m_connection = m_dataset->Connect(core::DatasetEvent::DataChanged,
                                          [refresh](core::Dataset&) { refresh(); });
}

void FieldLink::Unbind() {
    if (m_dataset && m_connection)
        m_dataset->Disconnect(m_connection);
    m_dataset = nullptr;
    m_connection = 0;
}

bool FieldLink::Editable() const {
    return m_dataset && m_dataset->Active() && m_dataset->HasField(m_field);
}

bool FieldLink::HasRecord() const {
    if (!Editable())
        return false;
    if (m_dataset->State() != DatasetState::Browse)
        return true;
    return !m_dataset->IsEmpty() && (!m_scope || m_scope());
}

QString FieldLink::Text() const {
    if (!HasRecord())
        return {};
    return m_dataset->FieldByName(m_field).AsString();
}

void FieldLink::Write(const QString& text, bool fromControl) {
    if (!Editable())
        return;
    m_writing = fromControl;
    try {
        if (m_dataset->State() == DatasetState::Browse) {
            if (!HasRecord()) {
                m_writing = false;
                return;
            }
            m_dataset->Edit();
        }
        m_dataset->FieldByName(m_field).SetAsString(text);
    } catch (const core::Error& e) {
        m_writing = false;
        core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
        return;
    }
    m_writing = false;
}

DBEdit::DBEdit(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_link.Write(text, true); });
}

void DBEdit::Bind(core::Dataset* dataset, const QString& field) {
    setObjectName(QStringLiteral("DBE") + field);
    m_link.Bind(dataset, field, [this] { Refresh(); });
    Refresh();
}

void DBEdit::Refresh() {
    if (m_link.Writing())
        return;
    // No more characters than the field holds: nothing typed is cut off silently later.
    if (m_link.Editable()) {
        dbf::DbfTable& table = m_link.Dataset()->Table();
        const int field = table.FieldIndex(m_link.FieldName().toStdString());
        if (field >= 0 &&
            table.Fields()[static_cast<std::size_t>(field)].type == dbf::FieldType::Character)
            setMaxLength(table.Fields()[static_cast<std::size_t>(field)].length);
    }
    const QString value = m_link.Text();
    if (text() != value) {
        const int cursor = cursorPosition();
        setText(value);
        setCursorPosition(std::min<int>(cursor, static_cast<int>(value.size())));
    }
}

void DBEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    emit FocusEntered();
}

void DBEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    emit FocusLeft();
}

DBComboBox::DBComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    connect(this, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (m_link.Writing() || text == m_link.Text())
            return;
        m_link.Write(text, true);
    });
}

void DBComboBox::Bind(core::Dataset* dataset, const QString& field) {
    setObjectName(QStringLiteral("DBC") + field);
    m_link.Bind(dataset, field, [this] { Refresh(); });
    Refresh();
}

void DBComboBox::Refresh() {
    if (m_link.Writing())
        return;
    const QString value = m_link.Text();
    if (currentText() != value) {
        const QSignalBlocker block(this);
        const int index = findText(value);
        if (index >= 0)
            setCurrentIndex(index);
        setEditText(value);
    }
}

void DBComboBox::focusInEvent(QFocusEvent* event) {
    QComboBox::focusInEvent(event);
    emit FocusEntered();
}

DBNavigator::DBNavigator(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    struct Look {
        const char* text;
        Message hint;
    };
    static constexpr Look looks[ButtonCount] = {
        {"|<", rsHintFirst}, {"<", rsHintPrior},     {">", rsHintNext},
        {">|", rsHintLast},  {"+", rsHintNew},       {"-", rsHintDelete},
        {"^", rsHintEdit},   {"\u2714", rsHintPost}, {"\u2716", rsHintCancel},
    };
    static constexpr const char* names[ButtonCount] = {"FirstBtn", "PriorBtn", "NextBtn",
                                                       "LastBtn",  "NewBtn",   "DeleteBtn",
                                                       "EditBtn",  "PostBtn",  "CancelBtn"};
    for (int b = 0; b < ButtonCount; ++b) {
        auto* button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(names[b]));
        button->setText(QString::fromUtf8(looks[b].text));
        button->setToolTip(ResStr(looks[b].hint));
        button->setMinimumWidth(26);
        layout->addWidget(button);
        m_buttons[b] = button;
        connect(button, &QToolButton::clicked, this, [this, b] { Press(static_cast<Button>(b)); });
    }
    layout->addStretch(1);
}

DBNavigator::~DBNavigator() {
    if (m_dataset && m_connection)
        m_dataset->Disconnect(m_connection);
}

void DBNavigator::Bind(core::Dataset* dataset) {
    if (m_dataset && m_connection)
        m_dataset->Disconnect(m_connection);
    m_dataset = dataset;
    m_connection = dataset ? dataset->Connect(core::DatasetEvent::DataChanged,
                                              [this](core::Dataset&) { UpdateButtons(); })
                           : 0;
    UpdateButtons();
}

void DBNavigator::SetVisibleButtons(std::initializer_list<Button> buttons) {
    for (QToolButton* b : m_buttons)
        b->hide();
    for (Button b : buttons)
        m_buttons[b]->show();
}

void DBNavigator::UpdateButtons() {
    const bool active = m_dataset && m_dataset->Active();
    const DatasetState state = active ? m_dataset->State() : DatasetState::Inactive;
    const bool browsing = state == DatasetState::Browse;
    const bool editing = state == DatasetState::Edit || state == DatasetState::Insert;
    const bool hasRecord = browsing && HasRecord();
    m_buttons[First]->setEnabled(hasRecord && !m_dataset->Bof());
    m_buttons[Prior]->setEnabled(hasRecord && !m_dataset->Bof());
    m_buttons[Next]->setEnabled(hasRecord && !m_dataset->Eof());
    m_buttons[Last]->setEnabled(hasRecord && !m_dataset->Eof());
    m_buttons[New]->setEnabled(active);
    m_buttons[Delete]->setEnabled(hasRecord);
    m_buttons[EditRecord]->setEnabled(hasRecord);
    m_buttons[Post]->setEnabled(editing);
    m_buttons[Cancel]->setEnabled(editing);
}

bool DBNavigator::HasRecord() const {
    return !m_dataset->IsEmpty() && (!m_scope || m_scope());
}

void DBNavigator::Press(Button button) {
    if (!m_dataset || !m_dataset->Active())
        return;
    // A key press reaches here as a click does: no delete or edit of a record out of scope.
    if ((button == Delete || button == EditRecord) &&
        (m_dataset->State() != DatasetState::Browse || !HasRecord()))
        return;
    if (m_before && !m_before(button))
        return;
    try {
        switch (button) {
        case First:
            m_dataset->First();
            break;
        case Prior:
            m_dataset->Prior();
            break;
        case Next:
            m_dataset->Next();
            break;
        case Last:
            m_dataset->Last();
            break;
        case New:
            m_dataset->Append();
            break;
        case Delete:
            m_dataset->Delete();
            break;
        case EditRecord:
            m_dataset->Edit();
            break;
        case Post:
            if (m_dataset->State() != DatasetState::Browse)
                m_dataset->Post();
            break;
        case Cancel:
            if (m_dataset->State() != DatasetState::Browse)
                m_dataset->Cancel();
            break;
        case ButtonCount:
            return;
        }
    } catch (const AbortAction&) {
        UpdateButtons();
        return;
    } catch (const core::Error& e) {
        core::UserPrompts().Message(e.Message(), core::MessageKind::Error);
        UpdateButtons();
        return;
    }
    UpdateButtons();
    if (m_after)
        m_after(button);
}

} // namespace velmora::ui
