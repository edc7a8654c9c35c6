#pragma once
// Settings locator: asks for the database file when the program settings file does not name
// a connection settings file, and finds the connection settings file beside it.
#include <QDialog>

class QLineEdit;
class QPushButton;
class QToolButton;

class TfrmLocalIni : public QDialog {
    Q_OBJECT
public:
    // The window releases itself when it closes.
    explicit TfrmLocalIni(QWidget* parent = nullptr);

    // The file-name field (not typed into; filled by its button).
    QLineEdit* fe = nullptr;
    QToolButton* feButton = nullptr;
    QPushButton* bttPesquisar = nullptr;

    // Prepares the file-open dialog of the field: start folder and filter.
    void feBeforeDialog();
    // The field's button: the file-open dialog, its choice into the field.
    void feButtonClick();
    // Confirms the chosen database: finds its connection settings file, stores it in the
    // session record and closes; otherwise explains and stays open.
    void bttPesquisarClick();

    const QString& dialogStartDir() const { return m_startDir; }
    const QString& dialogFilter() const { return m_filter; }

    // The two readings of the chosen name (see bttPesquisarClick).
    static QString candidatoA(const QString& text);
    static QString candidatoB(const QString& text);

private:
    QString m_startDir;
    QString m_filter;
};
