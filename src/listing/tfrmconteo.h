#pragma once

// The count window: how many patients meet the conditions, with thousands grouped and no
// decimals, and one button that closes it. Shown modally (through quill::Modal).

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TfrmConteo : public QDialog {
    Q_OBJECT
public:
    // `owner` is the host's window (slot 1): the window stays on top of it and centred on it.
    explicit TfrmConteo(QWidget* owner = nullptr);
    ~TfrmConteo() override;

    void setConteo(double conteo);
    double Conteo() const { return m_conteo; }

    // The count as the number box shows it: rounded to a whole number, thousands separated by
    // "." ("1.234.567"), a minus sign when negative; not a number shows "0".
    static QString TextoConteo(double conteo);

    QLabel* lblTexto;
    QLineEdit* edtConteo;
    QPushButton* tbnAceptar;

protected:
    void showEvent(QShowEvent* event) override;

private:
    double m_conteo = 0;
};
