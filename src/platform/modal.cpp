#include "modal.h"

#include <QMutex>

#include <cstdio>
#include <utility>

namespace quill {

namespace {

// Until the application installs its own: nothing is shown, nothing is agreed to.
class FallbackModal : public Modal {
public:
    void message(const QString& caption, const QString& text, MessageIcon icon) override {
        const QByteArray line = (caption + QStringLiteral(" [") + messageIconName(icon) +
                                 QStringLiteral("]: ") + text + QLatin1Char('\n'))
                                    .toUtf8();
        std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    }
    bool question(const QString& caption, const QString& text) override {
        message(caption, text, MessageIcon::Warning);
        return false;
    }
    QString saveFileName(FileRequest&) override { return QString(); }
    QString openFileName(FileRequest&) override { return QString(); }
    int exec(QWidget*) override { return 0; }
};

FallbackModal fallback;
Modal* installed = nullptr;
QMutex installMutex;

} // namespace

Modal::~Modal() = default;

Modal& Modal::current() {
    QMutexLocker lock(&installMutex);
    return installed ? *installed : fallback;
}

Modal* Modal::setCurrent(Modal* modal) {
    QMutexLocker lock(&installMutex);
    return std::exchange(installed, modal);
}

QString messageIconName(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Warning:
        return QStringLiteral("aviso");
    case MessageIcon::Stop:
        return QStringLiteral("stop");
    case MessageIcon::Information:
        return QStringLiteral("información");
    case MessageIcon::Error:
        return QStringLiteral("error");
    }
    return QString();
}

void ScriptedModal::message(const QString& caption, const QString& text, MessageIcon icon) {
    messages_.append({caption, text, icon});
}

bool ScriptedModal::question(const QString& caption, const QString& text) {
    const bool scripted = !answers_.empty();
    bool answer = false;
    if (scripted) {
        answer = answers_.front();
        answers_.pop_front();
    }
    questions_.append({caption, text, answer, scripted});
    return answer;
}

QString ScriptedModal::chooseFile(bool save, FileRequest& request) {
    FileChoice choice{save, request, QString()};
    if (!files_.empty()) {
        const ScriptedFile f = files_.front();
        files_.pop_front();
        choice.answer = f.path;
        if (f.filterIndex >= 0) request.filterIndex = f.filterIndex;
    }
    fileChoices_.append(choice);
    return choice.answer;
}

QString ScriptedModal::saveFileName(FileRequest& request) {
    return chooseFile(true, request);
}

QString ScriptedModal::openFileName(FileRequest& request) {
    return chooseFile(false, request);
}

int ScriptedModal::exec(QWidget* dialog) {
    ++dialogCount_;
    if (!dialogs_.empty()) {
        DialogScript script = std::move(dialogs_.front());
        dialogs_.pop_front();
        return script ? script(dialog) : 0;
    }
    return defaultDialog_ ? defaultDialog_(dialog) : 0;
}

void ScriptedModal::clear() {
    answers_.clear();
    files_.clear();
    dialogs_.clear();
    defaultDialog_ = nullptr;
    messages_.clear();
    questions_.clear();
    fileChoices_.clear();
    dialogCount_ = 0;
}

} // namespace quill
