#pragma once
// A Prompts implementation for tests: it records every message and question in order and
// answers from queues the test fills. A question with an empty queue throws, so a test
// notices a dialog it did not expect.

#include "core/prompts.h"

#include <QStringList>
#include <deque>
#include <stdexcept>

namespace velmora::core {

class ScriptedPrompts final : public Prompts {
public:
    // Installs itself as the run-wide prompts for its lifetime.
    ScriptedPrompts() { SetUserPrompts(this); }
    ~ScriptedPrompts() override { SetUserPrompts(nullptr); }

    QStringList shown;                        // every message and question text, in order
    QStringList defaultNo;                    // the questions asked with No as the default
    std::deque<Answer> answers;               // for YesNo, YesNoCancel, OkAbort
    std::deque<std::optional<QString>> texts; // for InputText and the choosers
    std::deque<std::optional<TColor>> colors;
    std::deque<std::optional<QFont>> fonts;
    int cancelAtStep = -1;   // StepProgress returns true from this position on
    QStringList progressLog; // "range a b", "start", "step n", "finish"

    void Message(const QString& text, MessageKind) override { shown << text; }
    bool YesNo(const QString& text) override { return Next(text) == Answer::Yes; }
    bool YesNoDefaultNo(const QString& text) override {
        defaultNo << text;
        return Next(text) == Answer::Yes;
    }
    Answer YesNoCancel(const QString& text) override { return Next(text); }
    bool OkAbort(const QString& text) override { return Next(text) == Answer::Ok; }
    std::optional<QString> InputText(const QString&, const QString& prompt,
                                     const QString&) override {
        return NextText(prompt);
    }
    QString ChooseOpenFile(const QString& caption, const QString&, const QString&) override {
        return NextText(caption).value_or(QString());
    }
    QString ChooseSaveFile(const QString& caption, const QString&, const QString&) override {
        return NextText(caption).value_or(QString());
    }
    QString ChooseFolder(const QString& title, const QString&, bool) override {
        return NextText(title).value_or(QString());
    }
    std::optional<TColor> ChooseColor(TColor) override { return Pop(colors, "colour"); }
    std::optional<QFont> ChooseFont(const QFont&) override { return Pop(fonts, "font"); }
    void SetProgressRange(int minimum, int maximum) override {
        progressLog << QStringLiteral("range %1 %2").arg(minimum).arg(maximum);
    }
    void StartProgress() override { progressLog << QStringLiteral("start"); }
    bool StepProgress(int position) override {
        progressLog << QStringLiteral("step %1").arg(position);
        return cancelAtStep >= 0 && position >= cancelAtStep;
    }
    void FinishProgress() override { progressLog << QStringLiteral("finish"); }

private:
    template <typename T> static T Pop(std::deque<T>& queue, const char* what) {
        if (queue.empty())
            throw std::logic_error(std::string("unexpected ") + what + " dialog");
        T value = queue.front();
        queue.pop_front();
        return value;
    }
    Answer Next(const QString& text) {
        shown << text;
        if (answers.empty())
            throw std::logic_error("unexpected question: " + text.toStdString());
        return Pop(answers, "question");
    }
    std::optional<QString> NextText(const QString& text) {
        shown << text;
        return Pop(texts, "input");
    }
};

} // namespace velmora::core
