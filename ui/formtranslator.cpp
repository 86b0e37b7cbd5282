#include "ui/formtranslator.h"

#include "core/settings.h"
#include "support/interfacelanguage.h"
#include "ui/dbcontrols.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QFontComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMetaProperty>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextEdit>
#include <QToolBox>
#include <QTranslator>
#include <QTreeWidget>
#include <deque>

namespace velmora::ui {

namespace {

// Marks a window that has had its translation, so that its first show leaves it alone.
constexpr char kTranslated[] = "velmoraTranslated";

bool IsProgramClass(const QMetaObject* meta) {
    return meta && qstrncmp(meta->className(), "velmora::", 9) == 0;
}

bool IsProgramWindow(const QObject* object) {
    if (!object->isWidgetType())
        return false;
    const auto* widget = static_cast<const QWidget*>(object);
    return widget->isWindow() && IsProgramClass(widget->metaObject());
}

// The bound controls (DBEdit, DBComboBox) show field values: their text and, as a rule, their
// items are data and never translated. A bound combo box whose items are words of the
// interface (the acidity classes, the abundance scales) says so; its items are translated,
// a pick is stored as shown, and the rules that read such a field know both languages.
bool IsDataAware(const QObject* object) {
    return IsProgramClass(object->metaObject()) &&
           FormClassName(object->metaObject()).startsWith(QLatin1String("DB"));
}

bool HasTranslatableItems(const QObject* object) {
    const auto* combo = qobject_cast<const DBComboBox*>(object);
    return combo && combo->ItemsTranslatable();
}

bool Named(QStringView name, const char* expected) {
    return name.compare(QLatin1String(expected), Qt::CaseInsensitive) == 0;
}

// A text worth translating holds a word: two letters in a row. Single letters are codes
// ("L", "D", "O" for living, dead, unknown) that the data relies on, and numbers and marks
// ("%", ".  .") read the same in every language.
bool HasWord(const QString& text) {
    for (qsizetype i = 1; i < text.size(); ++i) {
        if (text[i].isLetter() && text[i - 1].isLetter())
            return true;
    }
    return false;
}

// Line breaks of the language file (carriage returns) as Qt shows them.
QString DisplayText(QString value) {
    value.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    value.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return value;
}

QStringList Lines(const QString& value) {
    static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
    return value.split(breaks);
}

// The objects a window (or frame) owns, nearest first: everything below it except what
// belongs to another of the program's windows or to a frame (the frame itself is included).
template <typename Visit> void ForOwned(QObject* root, Visit visit) {
    std::deque<QObject*> queue(root->children().begin(), root->children().end());
    while (!queue.empty()) {
        QObject* object = queue.front();
        queue.pop_front();
        if (IsProgramWindow(object))
            continue;
        if (!visit(object))
            return;
        if (object->isWidgetType() && IsFrame(static_cast<QWidget*>(object)))
            continue;
        queue.insert(queue.end(), object->children().begin(), object->children().end());
    }
}

QObject* FindOwned(QObject* root, const QString& name) {
    QObject* found = nullptr;
    ForOwned(root, [&](QObject* object) {
        if (object->objectName() == name)
            found = object;
        return found == nullptr;
    });
    return found;
}

// The tab widget or tool box that shows a widget as one of its pages.
template <typename Container> std::pair<Container*, int> PageOf(QWidget* widget) {
    QWidget* up = widget->parentWidget();
    for (int level = 0; up && level < 3; ++level, up = up->parentWidget()) {
        if (auto* container = qobject_cast<Container*>(up)) {
            const int index = container->indexOf(widget);
            return {index >= 0 ? container : nullptr, index};
        }
    }
    return {nullptr, -1};
}

// A Qt property of the given name (letter case ignored) that takes a text or a list.
bool SetQtProperty(QObject* object, const QString& name, const QString& value) {
    const QMetaObject* meta = object->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        QMetaProperty property = meta->property(i);
        if (!property.isWritable() || !Named(name, property.name()))
            continue;
        if (property.metaType().id() == QMetaType::QString)
            return property.write(object, DisplayText(value));
        if (property.metaType().id() == QMetaType::QStringList)
            return property.write(object, Lines(value));
        return false;
    }
    return false;
}

template <typename Count, typename SetAt, typename Add, typename RemoveLast>
void ReplaceLines(const QStringList& lines, Count count, SetAt setAt, Add add,
                  RemoveLast removeLast) {
    for (int i = 0; i < lines.size(); ++i) {
        if (i < count())
            setAt(i, lines[i]);
        else
            add(lines[i]);
    }
    while (count() > lines.size())
        removeLast();
}

QList<QRadioButton*> RadioButtons(QGroupBox* group) {
    return group->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
}

bool SetItems(QObject* object, const QString& value) {
    const QStringList lines = Lines(value);
    if (auto* list = qobject_cast<QListWidget*>(object)) {
        ReplaceLines(
            lines, [list] { return list->count(); },
            [list](int i, const QString& t) { list->item(i)->setText(t); },
            [list](const QString& t) { list->addItem(t); },
            [list] { delete list->takeItem(list->count() - 1); });
        return true;
    }
    if (auto* combo = qobject_cast<QComboBox*>(object)) {
        // New item texts must not reach a bound field as if typed: the field keeps its value.
        const QSignalBlocker block(combo);
        ReplaceLines(
            lines, [combo] { return combo->count(); },
            [combo](int i, const QString& t) { combo->setItemText(i, t); },
            [combo](const QString& t) { combo->addItem(t); },
            [combo] { combo->removeItem(combo->count() - 1); });
        if (auto* bound = qobject_cast<DBComboBox*>(combo))
            bound->Refresh();
        return true;
    }
    if (auto* edit = qobject_cast<QPlainTextEdit*>(object)) {
        edit->setPlainText(lines.join(QLatin1Char('\n')));
        return true;
    }
    if (auto* edit = qobject_cast<QTextEdit*>(object)) {
        edit->setPlainText(lines.join(QLatin1Char('\n')));
        return true;
    }
    if (auto* group = qobject_cast<QGroupBox*>(object)) {
        // A radio group: its buttons are made in code, the file names their texts.
        const QList<QRadioButton*> buttons = RadioButtons(group);
        for (int i = 0; i < buttons.size() && i < lines.size(); ++i)
            buttons[i]->setText(lines[i]);
        return !buttons.isEmpty();
    }
    return false;
}

bool SetTabs(QObject* object, const QString& value) {
    const QStringList lines = Lines(value);
    QTabBar* bar = qobject_cast<QTabBar*>(object);
    if (auto* tabs = qobject_cast<QTabWidget*>(object))
        bar = tabs->tabBar();
    if (!bar)
        return false;
    for (int i = 0; i < bar->count() && i < lines.size(); ++i)
        bar->setTabText(i, lines[i]);
    return true;
}

bool SetCaption(QObject* object, const QString& value) {
    const QString text = DisplayText(value);
    if (auto* action = qobject_cast<QAction*>(object)) {
        action->setText(text);
        return true;
    }
    if (auto* menu = qobject_cast<QMenu*>(object)) {
        menu->setTitle(text);
        return true;
    }
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget)
        return false;
    if (widget->isWindow() || qobject_cast<QDockWidget*>(widget)) {
        widget->setWindowTitle(text);
        return true;
    }
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(text);
        return true;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(text);
        return true;
    }
    if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        group->setTitle(text);
        return true;
    }
    if (auto [tabs, index] = PageOf<QTabWidget>(widget); tabs) {
        tabs->setTabText(index, text);
        return true;
    }
    if (auto [box, index] = PageOf<QToolBox>(widget); box) {
        box->setItemText(index, text);
        return true;
    }
    return SetQtProperty(object, QStringLiteral("text"), value) ||
           SetQtProperty(object, QStringLiteral("title"), value);
}

bool SetText(QObject* object, const QString& value) {
    const QString text = DisplayText(value);
    if (auto* edit = qobject_cast<QLineEdit*>(object)) {
        edit->setText(text);
        return true;
    }
    if (auto* edit = qobject_cast<QPlainTextEdit*>(object)) {
        edit->setPlainText(text);
        return true;
    }
    if (auto* edit = qobject_cast<QTextEdit*>(object)) {
        edit->setPlainText(text);
        return true;
    }
    if (auto* combo = qobject_cast<QComboBox*>(object); combo && combo->isEditable()) {
        combo->setEditText(text);
        return true;
    }
    if (qobject_cast<QLabel*>(object) || qobject_cast<QAbstractButton*>(object) ||
        qobject_cast<QAction*>(object))
        return SetCaption(object, value);
    return SetQtProperty(object, QStringLiteral("text"), value);
}

bool SetHint(QObject* object, const QString& value) {
    const QString text = DisplayText(value);
    if (auto* action = qobject_cast<QAction*>(object)) {
        action->setToolTip(text);
        return true;
    }
    if (auto* widget = qobject_cast<QWidget*>(object)) {
        widget->setToolTip(text);
        return true;
    }
    return false;
}

// Where a path has got to: an object, or the column collection of a grid, one column of
// it, or that column's title.
struct Node {
    enum class Kind { Object, Columns, Column, ColumnTitle };
    QObject* object;
    Kind kind = Kind::Object;
    int column = -1;
};

// "Name", "Name(3)" or "(3)".
struct Part {
    QString name;
    int index = -1;
};

std::optional<Part> ParsePart(const QString& text) {
    const qsizetype open = text.indexOf(QLatin1Char('('));
    if (open < 0)
        return Part{text};
    if (!text.endsWith(QLatin1Char(')')))
        return std::nullopt;
    const QString digits = text.mid(open + 1, text.size() - open - 2);
    bool ok = !digits.isEmpty() && std::all_of(digits.begin(), digits.end(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
    const int index = ok ? digits.toInt(&ok) : -1;
    if (!ok)
        return std::nullopt;
    return Part{text.left(open), index};
}

bool Step(Node& node, const Part& part) {
    if (!part.name.isEmpty()) {
        if (node.kind == Node::Kind::Object) {
            if (QObject* found = FindOwned(node.object, part.name))
                node = Node{found};
            else if (Named(part.name, "Columns") && qobject_cast<QAbstractItemView*>(node.object))
                node.kind = Node::Kind::Columns;
            else
                return false;
        } else if (node.kind == Node::Kind::Column && Named(part.name, "Title")) {
            node.kind = Node::Kind::ColumnTitle;
        } else {
            return false;
        }
    }
    if (part.index >= 0) {
        if (node.kind != Node::Kind::Columns)
            return false;
        node.kind = Node::Kind::Column;
        node.column = part.index;
    }
    return true;
}

bool SetColumnTitle(QObject* object, int column, const QString& value) {
    const QString text = DisplayText(value);
    if (auto* table = qobject_cast<QTableWidget*>(object)) {
        if (column >= table->columnCount())
            return false;
        if (QTableWidgetItem* item = table->horizontalHeaderItem(column))
            item->setText(text);
        else
            table->setHorizontalHeaderItem(column, new QTableWidgetItem(text));
        return true;
    }
    if (auto* tree = qobject_cast<QTreeWidget*>(object)) {
        if (column >= tree->columnCount())
            return false;
        tree->headerItem()->setText(column, text);
        return true;
    }
    auto* view = qobject_cast<QAbstractItemView*>(object);
    QAbstractItemModel* model = view ? view->model() : nullptr;
    return model && column < model->columnCount() &&
           model->setHeaderData(column, Qt::Horizontal, text);
}

bool SetNamed(const Node& node, const QString& name, const QString& value) {
    if (node.kind == Node::Kind::ColumnTitle || node.kind == Node::Kind::Column) {
        return Named(name, "Caption") && SetColumnTitle(node.object, node.column, value);
    }
    if (node.kind != Node::Kind::Object)
        return false;
    QObject* object = node.object;
    const bool values = Named(name, "Text") || Named(name, "Items") || Named(name, "Lines");
    if (values && IsDataAware(object) && !(Named(name, "Items") && HasTranslatableItems(object)))
        return false;
    if (Named(name, "Caption"))
        return SetCaption(object, value);
    if (Named(name, "Hint"))
        return SetHint(object, value);
    if (Named(name, "Text"))
        return SetText(object, value);
    if (Named(name, "TextHint"))
        return SetQtProperty(object, QStringLiteral("placeholderText"), value);
    if (Named(name, "Items") || Named(name, "Lines"))
        return SetItems(object, value) || SetQtProperty(object, name, value);
    if (Named(name, "Tabs"))
        return SetTabs(object, value);
    return SetQtProperty(object, name, value);
}

// QAction shows its text as tool tip unless one was set: that default is not a text of its
// own.
QString DefaultActionToolTip(QString text) {
    text.replace(QLatin1String("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    if (text.endsWith(QLatin1String("...")))
        text.chop(3);
    else if (text.endsWith(QChar(0x2026)))
        text.chop(1);
    return text;
}

void AddText(std::vector<TranslatableText>& texts, QObject* carrier, const QString& property,
             const QString& text) {
    if (!HasWord(text))
        return;
    const QString name = carrier->objectName();
    const QString where = QString::fromLatin1(carrier->metaObject()->className()) +
                          QLatin1Char(' ') +
                          (name.isEmpty() ? QStringLiteral("(no objectName)") : name);
    texts.push_back({name.isEmpty() ? QString() : name + QLatin1Char('.') + property, text, where});
}

void CollectTexts(std::vector<TranslatableText>& texts, QObject* object) {
    if (auto* action = qobject_cast<QAction*>(object)) {
        if (action->isSeparator() || action->menu())
            return; // a menu's own action carries the menu's title
        AddText(texts, action, QStringLiteral("Caption"), action->text());
        if (action->toolTip() != DefaultActionToolTip(action->text()))
            AddText(texts, action, QStringLiteral("Hint"), action->toolTip());
        return;
    }
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget)
        return;
    AddText(texts, widget, QStringLiteral("Hint"), widget->toolTip());
    if (IsDataAware(widget)) {
        if (auto* combo = qobject_cast<QComboBox*>(widget); combo && HasTranslatableItems(combo)) {
            QStringList items;
            for (int i = 0; i < combo->count(); ++i)
                items.append(combo->itemText(i));
            AddText(texts, combo, QStringLiteral("Items"), items.join(QLatin1Char('\r')));
        }
        return;
    }
    QWidget* parent = widget->parentWidget();
    if (auto* menu = qobject_cast<QMenu*>(widget)) {
        AddText(texts, menu, QStringLiteral("Caption"), menu->title());
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        AddText(texts, label, QStringLiteral("Caption"), label->text());
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        auto* group = qobject_cast<QGroupBox*>(parent);
        // The unnamed radio buttons of a group box are its items.
        if (!(group && qobject_cast<QRadioButton*>(button) && button->objectName().isEmpty()))
            AddText(texts, button, QStringLiteral("Caption"), button->text());
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        AddText(texts, group, QStringLiteral("Caption"), group->title());
        QStringList items;
        for (QRadioButton* radio : RadioButtons(group)) {
            if (radio->objectName().isEmpty())
                items.append(radio->text());
        }
        AddText(texts, group, QStringLiteral("Items"), items.join(QLatin1Char('\r')));
    } else if (auto* dock = qobject_cast<QDockWidget*>(widget)) {
        AddText(texts, dock, QStringLiteral("Caption"), dock->windowTitle());
    } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
        QStringList items;
        for (int i = 0; i < list->count(); ++i)
            items.append(list->item(i)->text());
        AddText(texts, list, QStringLiteral("Items"), items.join(QLatin1Char('\r')));
    } else if (qobject_cast<QFontComboBox*>(widget)) {
        return; // the fonts of the system, named as they are
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items.append(combo->itemText(i));
        AddText(texts, combo, QStringLiteral("Items"), items.join(QLatin1Char('\r')));
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        if (!qobject_cast<QComboBox*>(parent) && !qobject_cast<QAbstractSpinBox*>(parent)) {
            AddText(texts, edit, QStringLiteral("Text"), edit->text());
            AddText(texts, edit, QStringLiteral("TextHint"), edit->placeholderText());
        }
    } else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
        AddText(texts, edit, QStringLiteral("Lines"), edit->toPlainText());
    } else if (auto* edit = qobject_cast<QTextEdit*>(widget)) {
        AddText(texts, edit, QStringLiteral("Lines"), edit->toPlainText());
    } else if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
        for (int i = 0; i < tabs->count(); ++i)
            AddText(texts, tabs->widget(i), QStringLiteral("Caption"), tabs->tabText(i));
    } else if (auto* box = qobject_cast<QToolBox*>(widget)) {
        for (int i = 0; i < box->count(); ++i)
            AddText(texts, box->widget(i), QStringLiteral("Caption"), box->itemText(i));
    } else if (auto* view = qobject_cast<QAbstractItemView*>(widget);
               view && !qobject_cast<QHeaderView*>(view)) {
        QAbstractItemModel* model = view->model();
        for (int i = 0; model && i < model->columnCount(); ++i) {
            AddText(texts, view, QStringLiteral("Columns(%1).Title.Caption").arg(i),
                    model->headerData(i, Qt::Horizontal).toString());
        }
    }
}

// Attaches the translation to the program's windows for the language engine.
class FormTranslator : public QObject, public support::FormHost {
public:
    static void Translate(QWidget* form) {
        WidgetFormAccess access(form);
        support::Localizer().TranslateForm(access);
        form->setProperty(kTranslated, true);
    }

    void AutoTranslateChanged(bool on) override {
        if (on)
            qApp->installEventFilter(this);
        else
            qApp->removeEventFilter(this);
    }

    void TranslateAllForms() override {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (IsProgramClass(window->metaObject()))
                Translate(window);
        }
    }

protected:
    // A window is polished once, before it is first shown: by then its constructor is done.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Polish && IsProgramWindow(watched) &&
            !watched->property(kTranslated).toBool())
            Translate(static_cast<QWidget*>(watched));
        return false;
    }
};

FormTranslator& Translator() {
    static FormTranslator translator;
    return translator;
}

} // namespace

QString FormClassName(const QMetaObject* meta) {
    // The name the class declares for itself, not one of its ancestors' (class info is
    // inherited): a class can be renamed without a language file noticing.
    const int declared = meta->indexOfClassInfo(kFormNameInfo);
    if (declared >= meta->classInfoOffset())
        return QString::fromLatin1(meta->classInfo(declared).value());
    const QString name = QString::fromLatin1(meta->className());
    const qsizetype colon = name.lastIndexOf(QLatin1Char(':'));
    return colon < 0 ? name : name.mid(colon + 1);
}

bool DeclaresFormName(const QMetaObject* meta) {
    return meta->indexOfClassInfo(kFormNameInfo) >= meta->classInfoOffset();
}

QStringList FormClassChain(const QObject* form) {
    QStringList chain;
    for (const QMetaObject* meta = form->metaObject(); IsProgramClass(meta);
         meta = meta->superClass())
        chain.append(FormClassName(meta));
    return chain;
}

bool IsFrame(const QWidget* widget) {
    return !widget->isWindow() && IsProgramClass(widget->metaObject()) &&
           FormClassName(widget->metaObject()).endsWith(QLatin1String("Frame"));
}

QList<QWidget*> OwnedFrames(QWidget* form) {
    QList<QWidget*> frames;
    ForOwned(form, [&frames](QObject* object) {
        if (object->isWidgetType() && IsFrame(static_cast<QWidget*>(object)))
            frames.append(static_cast<QWidget*>(object));
        return true;
    });
    return frames;
}

bool ApplyPath(QWidget* form, const QString& path, const QString& value) {
    const QStringList parts = path.split(QLatin1Char('.'));
    Node node{form};
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        const std::optional<Part> part = ParsePart(parts[i]);
        if (!part || !Step(node, *part))
            return false;
    }
    return SetNamed(node, parts.back(), value);
}

QStringList WidgetFormAccess::ClassChain() const {
    return FormClassChain(m_form);
}

std::vector<std::unique_ptr<support::FormAccess>> WidgetFormAccess::Frames() const {
    std::vector<std::unique_ptr<support::FormAccess>> frames;
    for (QWidget* frame : OwnedFrames(m_form))
        frames.push_back(std::make_unique<WidgetFormAccess>(frame));
    return frames;
}

bool WidgetFormAccess::Apply(const QString& path, const QString& value) {
    return ApplyPath(m_form, path, value);
}

std::vector<TranslatableText> TranslatableTexts(QWidget* form) {
    std::vector<TranslatableText> texts;
    if (form->isWindow()) {
        const QString title = form->windowTitle();
        if (HasWord(title))
            texts.push_back({QStringLiteral("Caption"), title, FormClassName(form->metaObject())});
    }
    ForOwned(form, [&texts](QObject* object) {
        if (!(object->isWidgetType() && IsFrame(static_cast<QWidget*>(object))))
            CollectTexts(texts, object);
        return true;
    });
    return texts;
}

void InstallFormTranslator() {
    support::TFreeLocalizer& localizer = support::Localizer();
    if (localizer.Host() != &Translator())
        localizer.SetFormHost(&Translator());
}

namespace {
// Qt's own texts (dialog buttons, context menus) in the interface language: Dutch from Qt's
// translations, English built in.
void FollowWithQtTexts(const QString& code) {
    static QTranslator* translator = nullptr;
    if (translator) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
        translator = nullptr;
    }
    if (code != QLatin1String("NL") || !QCoreApplication::instance())
        return;
    auto* dutch = new QTranslator(QCoreApplication::instance());
    if (dutch->load(QStringLiteral("qtbase_nl"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(dutch);
        translator = dutch;
    } else {
        delete dutch;
    }
}
} // namespace

bool StartInterfaceLanguage() {
    InstallFormTranslator();
    FollowWithQtTexts(core::CurrentSettings().language);
    return support::LoadStartupLanguage();
}

void TranslateNewForm(QWidget* form) {
    InstallFormTranslator();
    if (support::Localizer().AutoTranslate())
        FormTranslator::Translate(form);
}

bool SwitchLanguage(const QString& code) {
    InstallFormTranslator();
    const bool loaded = support::SwitchLanguage(code);
    // Without a file for the code the texts change at the next start; Qt's follow them then.
    if (loaded || code == QLatin1String("EN"))
        FollowWithQtTexts(code);
    return loaded;
}

} // namespace velmora::ui
