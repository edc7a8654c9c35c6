#pragma once
// Qt's own texts (standard dialogs, message-box buttons, print preview, calendar) in
// Brazilian Portuguese. Returns whether the translations were found and installed.
bool carregaTraducoes();
