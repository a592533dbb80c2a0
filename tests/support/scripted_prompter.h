// A Prompter for window tests: every question is recorded and answered from
// a queue; a question nobody expected fails the test.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "ui/platform/prompter.h"
#include "ui/platform/shell.h"

namespace velmora::test {

class ScriptedPrompter : public ui::Prompter {
public:
    enum class Kind {
        Information,
        Error,
        Confirm,
        YesNo,
        YesNoCancel,
        Input,
        OpenFile,
        SaveFile,
        Folder,
        Font,
        Color,
        InformationWithAction,
        ChooseRow
    };

    struct Asked {
        Kind kind;
        QString text;
    };

    struct Reply {
        bool yes = false;
        Answer answer = Answer::Cancel;
        bool hasText = false;
        QString text;
    };

    // Queue the answer to the next question of that kind.
    void answerConfirm(bool ok) { replies_.push_back({Kind::Confirm, {ok, {}, false, {}}}); }
    void answerYesNo(bool yes) { replies_.push_back({Kind::YesNo, {yes, {}, false, {}}}); }
    void answerYesNoCancel(Answer answer)
    {
        replies_.push_back({Kind::YesNoCancel, {false, answer, false, {}}});
    }
    void answerText(std::optional<QString> text, Kind kind = Kind::Input)
    {
        replies_.push_back({kind, {false, {}, text.has_value(), text.value_or(QString())}});
    }
    // The extra button of a message (true) or its OK (false).
    void answerAction(bool action)
    {
        replies_.push_back({Kind::InformationWithAction, {action, {}, false, {}}});
    }
    // The row chosen from a list (its index as text), or nothing: cancelled.
    void answerRow(std::optional<int> row)
    {
        replies_.push_back(
            {Kind::ChooseRow, {false, {}, row.has_value(), QString::number(row.value_or(-1))}});
    }
    // The rows shown by the last list question.
    std::vector<QStringList> lastRows;
    // Information and error boxes need no answer, but must be expected.
    void expectMessage(Kind kind) { replies_.push_back({kind, {true, {}, false, {}}}); }

    const std::vector<Asked>& asked() const { return asked_; }
    bool allAnswered() const { return replies_.empty(); }
    void clear()
    {
        asked_.clear();
        replies_.clear();
    }

    void information(const QString& text) override { take(Kind::Information, text); }
    void error(const QString& text) override { take(Kind::Error, text); }
    bool confirm(const QString& text) override { return take(Kind::Confirm, text).yes; }
    bool informationWithAction(const QString& text, const QString&) override
    {
        return take(Kind::InformationWithAction, text).yes;
    }
    std::optional<int> chooseRow(const QString& title, const QStringList&,
                                 const std::vector<QStringList>& rows) override
    {
        lastRows = rows;
        std::optional<QString> row = text(Kind::ChooseRow, title);
        return row ? std::optional<int>(row->toInt()) : std::nullopt;
    }
    bool askYesNo(const QString& text) override { return take(Kind::YesNo, text).yes; }
    Answer askYesNoCancel(const QString& text) override { return take(Kind::YesNoCancel, text).answer; }
    std::optional<QString> inputText(const QString&, const QString& prompt, const QString& initial) override
    {
        lastInitialText = initial;
        return text(Kind::Input, prompt);
    }
    // The text the last one-line prompt started with.
    QString lastInitialText;
    std::optional<QString> openFile(const QString& title, const QString&, const QString&) override
    {
        return text(Kind::OpenFile, title);
    }
    std::optional<QString> saveFile(const QString& title, const QString&, const QString&) override
    {
        return text(Kind::SaveFile, title);
    }
    std::optional<QString> pickFolder(const QString& title, const QString&) override
    {
        return text(Kind::Folder, title);
    }
    std::optional<QFont> chooseFont(const QFont&) override
    {
        take(Kind::Font, {});
        return std::nullopt;
    }
    std::optional<QColor> chooseColor(const QColor&) override
    {
        take(Kind::Color, {});
        return std::nullopt;
    }

private:
    std::optional<QString> text(Kind kind, const QString& question)
    {
        Reply reply = take(kind, question);
        return reply.hasText ? std::optional<QString>(reply.text) : std::nullopt;
    }

    Reply take(Kind kind, const QString& text)
    {
        asked_.push_back({kind, text});
        if (replies_.empty() || replies_.front().first != kind) {
            ADD_FAILURE() << "unexpected question: " << text.toStdString();
            return {};  // as cautious as a user who cancels
        }
        Reply reply = std::move(replies_.front().second);
        replies_.pop_front();
        return reply;
    }

    std::deque<std::pair<Kind, Reply>> replies_;
    std::vector<Asked> asked_;
};

class RecordingShell : public ui::Shell {
public:
    bool open(const QUrl& url) override
    {
        opened.push_back(url);
        return opens;
    }
    std::vector<QUrl> opened;
    // False: a desktop without a browser.
    bool opens = true;
};

}  // namespace velmora::test
