#include "platform/PasswordEcho.h"

#include <QLineEdit>

void setPasswordEcho(QLineEdit* edit) {
    edit->setEchoMode(QLineEdit::Password);
    // The style sheet's password character replaces the style's own.
    edit->setStyleSheet(edit->styleSheet() +
                        QStringLiteral(" QLineEdit { lineedit-password-character: 42; }"));
}
