#pragma once

// The modal interaction of the running program: real message boxes, file choosers and dialogs.

#include "platform/modal.h"

namespace quill {

class WidgetModal : public Modal {
public:
    void message(const QString& caption, const QString& text, MessageIcon icon) override;
    bool question(const QString& caption, const QString& text) override;
    QString saveFileName(FileRequest& request) override;
    QString openFileName(FileRequest& request) override;
    int exec(QWidget* dialog) override;
};

// Installs the process's WidgetModal unless another implementation is installed already (a
// test's double stays in place).
void instalarModalReal();

} // namespace quill
