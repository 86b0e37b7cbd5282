// The main window's keys: the shortcuts of the navigators, the grid and the fields, whichever
// control has the focus.

#include "ui/tmainform.h"

#include "core/error.h"
#include "core/folders.h"
#include "core/prompts.h"
#include "core/resourcestrings.h"
#include "core/settings.h"
#include "core/text/textutils.h"
#include "ecology/ecologydata.h"
#include "ecology/taxalistfile.h"
#include "ecology/taxonnames.h"
#include "recording/databasecatalogue.h"
#include "session/messages.h"
#include "session/session.h"
#include "support/messages.h"
#include "support/photofolder.h"
#include "ui/locationpanel.h"
#include "ui/messages.h"
#include "ui/nameentrypanel.h"
#include "ui/naturevaluebox.h"
#include "ui/samplegridview.h"
#include "ui/samplepanel.h"
#include "ui/tnwform.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace velmora::ui {

using core::DatasetState;

// ---------------------------------------------------------------- keys

bool TMainForm::FormKeyDown(int key, Qt::KeyboardModifiers modifiers, QWidget* target) {
    const bool alt = modifiers & Qt::AltModifier;
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    const bool samplePanel = m_samplePanel->isEnabled() && m_store.IsOpen();
    if (key == Qt::Key_Insert && alt) {
        m_locationNavigator->Press(DBNavigator::New);
        return true;
    }
    if (key == Qt::Key_Insert && !alt && !ctrl) {
        if (samplePanel) {
            SampleNavigator()->Press(DBNavigator::New);
            m_namePanel->SearchEdit()->setFocus();
        }
        return true;
    }
    if (enter && alt) {
        if (LocationEditing())
            m_locationNavigator->Press(DBNavigator::Post);
        return true;
    }
    if (enter && ctrl) {
        if (samplePanel) {
            m_locationPanel->LocIdHolder()->setText(
                m_locationPanel->LocationText(QStringLiteral("ID")));
            SampleNavigator()->Press(DBNavigator::Post);
        }
        return true;
    }
    if (ctrl && key == Qt::Key_E) {
        if (samplePanel) {
            SampleNavigator()->Press(DBNavigator::EditRecord);
            m_namePanel->SearchEdit()->setFocus();
        }
        return true;
    }
    if (ctrl && key == Qt::Key_S) {
        if (samplePanel)
            m_namePanel->SearchEdit()->setFocus();
        return true;
    }
    if (key == Qt::Key_Escape) {
        if (target == m_namePanel->Names() && SampleEditing()) {
            m_store.Samples().Cancel();
            FocusGridName();
            return true;
        }
        if (target == m_namePanel->SearchEdit()) {
            m_grid->setFocus();
            return true;
        }
        if (LocationEditing()) {
            m_locationNavigator->Press(DBNavigator::Cancel);
            return true;
        }
        if (SampleEditing()) {
            SampleNavigator()->Press(DBNavigator::Cancel);
            FocusGridName();
            return true;
        }
        return false;
    }
    if (enter && !alt && !ctrl && target == m_namePanel->Names()) {
        // Enter takes the highlighted name and goes on to the abundance.
        if (m_namePanel->TakeCurrentName())
            SampleCombo(QStringLiteral("ABUND"))->setFocus();
        return true;
    }
    if (key == Qt::Key_Down && target == m_namePanel->SearchEdit() && m_samplePanel->isEnabled()) {
        m_namePanel->Names()->setFocus();
        if (m_namePanel->Names()->count() > 0) {
            m_namePanel->Names()->setCurrentRow(0);
            m_namePanel->TakeName(0);
        }
        return true;
    }
    if (target == m_grid && (enter || key == Qt::Key_Tab) && !alt && !ctrl) {
        EditCurrentSampleAt(m_grid->currentColumn());
        return true;
    }
    return false;
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (FormKeyDown(key->key(), key->modifiers(), widget))
                return true;
        }
    } else if (event->type() == QEvent::KeyRelease && watched == m_samplePanel->Desmid()) {
        // DBEDesmidKeyUp: the name field filters the list too.
        m_namePanel->FilterNames(m_samplePanel->Desmid()->text());
    } else if (event->type() == QEvent::MouseButtonPress && watched == m_namePanel->SearchEdit()) {
        m_namePanel->SearchEdit()->clear(); // SearchEditClick
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace velmora::ui
