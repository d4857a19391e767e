#pragma once

// The one way the module interacts modally with the user: message boxes, Yes/No questions,
// file choosers and modal dialogs. Code asks Modal::current(); the application installs an
// implementation on real widgets, tests install ScriptedModal, which records what was shown
// and answers from a script. This library does not link widgets: QWidget is only named.

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>

class QWidget;

namespace quill {

enum class MessageIcon {
    Warning,     // exclamation
    Stop,        // the stop (hand) icon used for refusals and errors
    Information, // success
    Error,       // same meaning as Stop where the toolkit has only one
};

// A file chooser request. filterIndex is in/out: the filter offered first, then the one the
// user chose (0-based). Filters read like "Excel (*.xlsx)".
struct FileRequest {
    QString caption;
    QString folder;
    QStringList filters;
    int filterIndex = 0;
    QString fileName; // proposed name (save) or preselected file
};

class Modal {
public:
    virtual ~Modal();

    virtual void message(const QString& caption, const QString& text, MessageIcon icon) = 0;
    // Yes/No question; true on Yes.
    virtual bool question(const QString& caption, const QString& text) = 0;
    // The chosen path, or an empty text when cancelled.
    virtual QString saveFileName(FileRequest& request) = 0;
    virtual QString openFileName(FileRequest& request) = 0;
    // Shows the dialog modally and returns its result (QDialog::Accepted is 1, Rejected 0).
    virtual int exec(QWidget* dialog) = 0;

    // The process-wide instance. Never null: until one is installed, messages go to stderr,
    // questions answer No, choosers return nothing and dialogs are rejected.
    static Modal& current();
    // Installs an instance (not owned; null restores the fallback); returns the previous one.
    static Modal* setCurrent(Modal* modal);
};

// Installs a Modal for the life of a scope.
class ScopedModal {
public:
    explicit ScopedModal(Modal& modal) : previous_(Modal::setCurrent(&modal)) {}
    ~ScopedModal() { Modal::setCurrent(previous_); }
    ScopedModal(const ScopedModal&) = delete;
    ScopedModal& operator=(const ScopedModal&) = delete;

private:
    Modal* previous_;
};

// The test double: records everything, answers from queues.
class ScriptedModal : public Modal {
public:
    struct Message {
        QString caption;
        QString text;
        MessageIcon icon;
    };
    struct Question {
        QString caption;
        QString text;
        bool answer;
        bool scripted; // false: the queue was empty and No was given
    };
    struct FileChoice {
        bool save;
        FileRequest request; // as asked, before the answer
        QString answer;
    };
    using DialogScript = std::function<int(QWidget* dialog)>;

    void message(const QString& caption, const QString& text, MessageIcon icon) override;
    bool question(const QString& caption, const QString& text) override;
    QString saveFileName(FileRequest& request) override;
    QString openFileName(FileRequest& request) override;
    int exec(QWidget* dialog) override;

    // Answers for the next questions, in order; an empty queue answers No.
    void queueAnswer(bool yes) { answers_.push_back(yes); }
    void queueAnswers(std::initializer_list<bool> yes) { answers_.insert(answers_.end(), yes); }
    // The next file chooser returns path (empty: cancelled) and, when >= 0, sets the filter.
    void queueFileName(const QString& path, int filterIndex = -1) {
        files_.push_back({path, filterIndex});
    }
    // The next exec() runs script (it may fill the dialog) and returns its result.
    void queueDialog(DialogScript script) { dialogs_.push_back(std::move(script)); }
    // Runs for exec() when no script is queued; without one the dialog is rejected (0).
    void setDefaultDialog(DialogScript script) { defaultDialog_ = std::move(script); }

    const QList<Message>& messages() const { return messages_; }
    const QList<Question>& questions() const { return questions_; }
    const QList<FileChoice>& fileChoices() const { return fileChoices_; }
    int dialogCount() const { return dialogCount_; }
    // Scripted answers not used yet.
    int pendingAnswers() const { return int(answers_.size()); }
    int pendingFileNames() const { return int(files_.size()); }
    int pendingDialogs() const { return int(dialogs_.size()); }
    // Forgets what was recorded and what was scripted.
    void clear();

private:
    QString chooseFile(bool save, FileRequest& request);

    struct ScriptedFile {
        QString path;
        int filterIndex;
    };
    std::deque<bool> answers_;
    std::deque<ScriptedFile> files_;
    std::deque<DialogScript> dialogs_;
    DialogScript defaultDialog_;
    QList<Message> messages_;
    QList<Question> questions_;
    QList<FileChoice> fileChoices_;
    int dialogCount_ = 0;
};

QString messageIconName(MessageIcon icon);

} // namespace quill
