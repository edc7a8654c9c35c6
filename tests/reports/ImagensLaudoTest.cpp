// The images folder beside the connection settings file, found whatever the letter case of
// the folder and file names (folders copied from Windows machines), and the per-company files
// named with their accents.
#include "reports/ImagensLaudo.h"
#include "LaudoFixture.h"
#include "QtPrinters.h"
#include "data/UnFuncoes.h"
#include "platform/Errors.h"

namespace {

class ImagensLaudo : public LaudoTest {
protected:
    void toca(const QString& arquivo) {
        QFile f(arquivo);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << arquivo.toStdString();
    }
};

TEST_F(ImagensLaudo, FolderAndFilesWhateverTheirLetterCase) {
    EXPECT_EQ(PastaImagens(), "");
    EXPECT_EQ(ArquivoImagem(imagens::kLogo), "");
    QDir().mkpath(dados() + "/IMAGENS");
    toca(dados() + "/IMAGENS/logo_cortivandela.JPG");
    EXPECT_EQ(PastaImagens(), dados() + "/IMAGENS");
    EXPECT_EQ(ArquivoImagem(imagens::kLogo), dados() + "/IMAGENS/logo_cortivandela.JPG");
    EXPECT_EQ(ArquivoImagem(imagens::kRodape), "");
    // A folder named like the file is not the file.
    QDir().mkpath(dados() + "/IMAGENS/Rodape_Cortivandela.jpg");
    EXPECT_EQ(ArquivoImagem(imagens::kRodape), "");
}

TEST_F(ImagensLaudo, FolderIsCreatedOnlyWhenThereIsNone) {
    EXPECT_EQ(CriaPastaImagens(), dados() + "/imagens");
    EXPECT_TRUE(QDir(dados() + "/imagens").exists());
    EXPECT_EQ(CriaPastaImagens(), dados() + "/imagens");
    QDir(dados()).rmdir("imagens");
    QDir().mkpath(dados() + "/Imagens");
    EXPECT_EQ(CriaPastaImagens(), dados() + "/Imagens");
    EXPECT_FALSE(QDir(dados() + "/imagens").exists());
}

TEST_F(ImagensLaudo, WithoutASettingsFileThereIsNoFolderToCreate) {
    sessaoUsuario().localarquivoiniteste.clear();
    EXPECT_EQ(PastaImagens(), "");
    try {
        CriaPastaImagens();
        ADD_FAILURE() << "no error";
    } catch (const AppError& e) {
        EXPECT_EQ(e.message(), "Não pode ser Criado o Diretório imagens"_q);
    }
}

TEST_F(ImagensLaudo, CompanyFilesWithAccentsInAnyCaseAndNormalisation) {
    const QString cabecalho = ImagemCabecalhoLaudo(40);
    EXPECT_TRUE(cabecalho.endsWith("Imagens/Cabeçalho-do-Laudo-00042.jpg"_q)) << cabecalho.toStdString();
    EXPECT_EQ(LocalizaArquivoImagem(cabecalho), "");
    QDir().mkpath(dados() + "/imagens");
    // Written by a machine that keeps names decomposed, in capitals.
    const QString decomposto = ("CABEÇALHO-DO-LAUDO-00042.JPG"_q).normalized(QString::NormalizationForm_D);
    toca(dados() + "/imagens/" + decomposto);
    EXPECT_EQ(LocalizaArquivoImagem(cabecalho), dados() + "/imagens/" + decomposto);
    toca(dados() + "/imagens/Rodapé-do-Laudo-00042.jpg"_q);
    EXPECT_EQ(LocalizaArquivoImagem(ImagemRodapeLaudo(40)), dados() + "/imagens/Rodapé-do-Laudo-00042.jpg"_q);
    EXPECT_EQ(LocalizaArquivoImagem(ImagemRodapeLaudo(10)), "") << "another company has no files";
    EXPECT_EQ(LocalizaArquivoImagem(""), "");
}

} // namespace
