#include "ui/tprogress.h"

#include "ui/messages.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::ui {

namespace {
int g_finishPause = 1000;

void Pause(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}
} // namespace

TProgress::TProgress(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Progress"));
    setWindowTitle(QStringLiteral("Progress"));
    setModal(true);
    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("ProgressBar1"));
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancelButton->setObjectName(QStringLiteral("CancelBtn"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(m_bar);
    layout->addWidget(m_cancelButton, 0, Qt::AlignHCenter);
    setMinimumWidth(320);
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { CancelbtnClick(); });
}

void TProgress::SetRange(int minimum, int maximum) {
    m_bar->setRange(minimum, maximum);
}

void TProgress::StartProgress() {
    m_cancel = false;
    m_label->setText(ResStr(rsProgressBusy));
    m_label->show();
    show();
    QCoreApplication::processEvents();
}

bool TProgress::StepProgress(int position) {
    m_bar->setValue(position);
    QCoreApplication::processEvents();
    if (m_cancel)
        hide();
    return m_cancel;
}

void TProgress::FinishProgress() {
    hide();
    m_label->setText(ResStr(rsProgressDone));
    Pause(g_finishPause);
    m_label->hide();
}

void TProgress::SetFinishPause(int milliseconds) {
    g_finishPause = milliseconds;
}

void TProgress::CancelbtnClick() {
    m_cancel = true;
}

} // namespace velmora::ui
