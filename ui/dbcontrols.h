#pragma once
// Controls bound to a field of a dataset's current record, and the record navigator.
//
// A bound control shows the field of the current record and follows every change of the
// dataset (scrolling, posting, cancelling). Typing into it puts the dataset into the Edit
// state (when it is browsing a record) and writes the text into the field at once, so that a
// Post stores what the user sees. While the dataset's controls are disabled (long loops), the
// controls are not refreshed; they catch up when the controls are enabled again.

#include "core/dataset.h"
#include "core/error.h"

#include <QComboBox>
#include <QLineEdit>
#include <QWidget>
#include <array>
#include <functional>

class QToolButton;

namespace velmora::ui {

// A handler that has already told the user why an action cannot go on throws this: the
// action is abandoned without a further message.
using AbortAction = core::Refusal;

// The binding shared by the bound controls.
class FieldLink {
public:
    FieldLink() = default;
    ~FieldLink();
    FieldLink(const FieldLink&) = delete;
    FieldLink& operator=(const FieldLink&) = delete;

    void Bind(core::Dataset* dataset, const QString& field, std::function<void()> refresh);
    void Unbind();
    // Which browsed records the control may show and change: a stored record the scope
    // refuses counts as no record (shown empty, typing changes nothing). Records being edited
    // or inserted are always shown.
    void SetScope(std::function<bool()> scope) { m_scope = std::move(scope); }
    // True when the dataset has a current record within the scope.
    bool HasRecord() const;
    core::Dataset* Dataset() const { return m_dataset; }
    const QString& FieldName() const { return m_field; }
    // The field's text of the current record ("" when there is none).
    QString Text() const;
    // Writes a text: Edit when browsing, then the field. A text typed into the control itself
    // (fromControl) does not echo back into it, so the cursor stays where the user types.
    void Write(const QString& text, bool fromControl = false);
    bool Editable() const;
    bool Writing() const { return m_writing; }

private:
    core::Dataset* m_dataset = nullptr;
    QString m_field;
    std::function<bool()> m_scope;
    int m_connection = 0;
    bool m_writing = false;
};

class DBEdit : public QLineEdit {
    Q_OBJECT
    Q_CLASSINFO("FormName", "DBEdit")
public:
    explicit DBEdit(QWidget* parent = nullptr);
    void Bind(core::Dataset* dataset, const QString& field);
    FieldLink& Link() { return m_link; }
    // Shows the field's current value (also called by the dataset's notifications).
    void Refresh();

signals:
    void FocusEntered();
    void FocusLeft();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    FieldLink m_link;
};

class DBComboBox : public QComboBox {
    Q_OBJECT
    Q_CLASSINFO("FormName", "DBComboBox")
public:
    explicit DBComboBox(QWidget* parent = nullptr);
    void Bind(core::Dataset* dataset, const QString& field);
    FieldLink& Link() { return m_link; }
    void Refresh();
    // Items that are words of the interface (acidity classes, abundance scales) rather than
    // codes the data relies on: a language file translates them, and a pick is stored as
    // shown. Off by default.
    void SetItemsTranslatable(bool on) { m_itemsTranslatable = on; }
    bool ItemsTranslatable() const { return m_itemsTranslatable; }

signals:
    void FocusEntered();

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    FieldLink m_link;
    bool m_itemsTranslatable = false;
};

// The record navigator: first, prior, next, last, new, delete, edit, post, cancel.
class DBNavigator : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("FormName", "DBNavigator")
public:
    enum Button { First, Prior, Next, Last, New, Delete, EditRecord, Post, Cancel, ButtonCount };

    explicit DBNavigator(QWidget* parent = nullptr);
    ~DBNavigator() override;
    void Bind(core::Dataset* dataset);
    void SetVisibleButtons(std::initializer_list<Button> buttons);
    // Runs before a button acts; returning false abandons the action.
    void SetBeforeAction(std::function<bool(Button)> handler) { m_before = std::move(handler); }
    // Runs after a button has acted.
    void SetAfterAction(std::function<void(Button)> handler) { m_after = std::move(handler); }
    // As FieldLink::SetScope: outside it, delete and edit are off.
    void SetScope(std::function<bool()> scope) {
        m_scope = std::move(scope);
        UpdateButtons();
    }
    // Presses a button as the user would (the handlers run).
    void Press(Button button);
    QToolButton* ButtonWidget(Button button) const { return m_buttons[button]; }
    // Enables the buttons that make sense in the dataset's state.
    void UpdateButtons();

private:
    core::Dataset* m_dataset = nullptr;
    int m_connection = 0;
    std::array<QToolButton*, ButtonCount> m_buttons{};
    bool HasRecord() const;

    std::function<bool(Button)> m_before;
    std::function<void(Button)> m_after;
    std::function<bool()> m_scope;
};

} // namespace velmora::ui
