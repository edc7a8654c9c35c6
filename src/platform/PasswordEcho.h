#pragma once
// Password fields: what is typed shows as one asterisk per character, whatever echo character
// the desktop's style would use ("●" on most of them).
class QLineEdit;

void setPasswordEcho(QLineEdit* edit);
