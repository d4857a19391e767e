#include "listing/modalreal.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace quill {

namespace {

// Dialogs sit over whatever the user is looking at.
QWidget* padre() {
    if (QWidget* w = QApplication::activeModalWidget()) return w;
    return QApplication::activeWindow();
}

QString elegir(bool guardar, FileRequest& r) {
    const QString filtros = r.filters.join(QStringLiteral(";;"));
    QString elegido = r.filterIndex >= 0 && r.filterIndex < r.filters.size()
                          ? r.filters.at(r.filterIndex)
                          : QString();
    QString inicio = r.folder;
    if (!r.fileName.isEmpty())
        inicio = r.folder.isEmpty() ? r.fileName : r.folder + QLatin1Char('/') + r.fileName;
    const QString ruta =
        guardar ? QFileDialog::getSaveFileName(padre(), r.caption, inicio, filtros, &elegido)
                : QFileDialog::getOpenFileName(padre(), r.caption, inicio, filtros, &elegido);
    if (!ruta.isEmpty() && r.filters.contains(elegido))
        r.filterIndex = int(r.filters.indexOf(elegido));
    return ruta;
}

} // namespace

void WidgetModal::message(const QString& caption, const QString& text, MessageIcon icon) {
    QMessageBox::Icon i = QMessageBox::Critical;
    switch (icon) {
    case MessageIcon::Warning:
        i = QMessageBox::Warning;
        break;
    case MessageIcon::Information:
        i = QMessageBox::Information;
        break;
    case MessageIcon::Stop:
    case MessageIcon::Error:
        i = QMessageBox::Critical;
        break;
    }
    QMessageBox caja(i, caption, text, QMessageBox::Ok, padre());
    caja.exec();
}

bool WidgetModal::question(const QString& caption, const QString& text) {
    QMessageBox caja(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                     padre());
    caja.button(QMessageBox::Yes)->setText(QStringLiteral("&Sí"));
    caja.button(QMessageBox::No)->setText(QStringLiteral("&No"));
    caja.setDefaultButton(QMessageBox::No);
    return caja.exec() == QMessageBox::Yes;
}

QString WidgetModal::saveFileName(FileRequest& request) {
    return elegir(true, request);
}

QString WidgetModal::openFileName(FileRequest& request) {
    return elegir(false, request);
}

int WidgetModal::exec(QWidget* dialog) {
    auto* d = qobject_cast<QDialog*>(dialog);
    return d ? d->exec() : QDialog::Rejected;
}

void instalarModalReal() {
    static WidgetModal real;
    Modal* previo = Modal::setCurrent(&real);
    if (previo && previo != &real) Modal::setCurrent(previo);
}

} // namespace quill
