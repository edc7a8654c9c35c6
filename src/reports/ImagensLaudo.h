#pragma once
// The report images of the shared data folder: the folder "Imagens" beside the connection
// settings file found at start-up. Settings folders copied from Windows machines name the
// folder and its files in any letter case ("Imagens", "imagens", "LOGO_CORTIVANDELA.JPG"), so
// folder and files are found whatever their case.
#include <QString>

namespace imagens {
inline const QString kLogo = QStringLiteral("Logo_Cortivandela.jpg");
inline const QString kRodape = QStringLiteral("Rodape_Cortivandela.jpg");
inline const QString kAssinatura = QStringLiteral("Ass_Cortivandela.jpg");
inline const QString kFundo = QStringLiteral("Fundo_Cortivandela.bmp");
} // namespace imagens

// The folder of the connection settings file; empty when start-up named none.
QString PastaDadosCompartilhados();
// The images folder, whatever the letter case of its name; empty when there is none.
QString PastaImagens();
// The images folder, created as "imagens" when there is none. Throws AppError
// "Não pode ser Criado o Diretório <pasta>/imagens" when it cannot be created.
QString CriaPastaImagens();
// The file of the images folder with this name (letter case ignored); empty when missing.
QString ArquivoImagem(const QString& nome);
// The existing file for a path into the images folder as the report image functions build it
// ("<pasta>/Imagens/Cabeçalho-do-Laudo-00042.jpg"), letter case of folder and file ignored;
// empty when missing.
QString LocalizaArquivoImagem(const QString& caminho);
