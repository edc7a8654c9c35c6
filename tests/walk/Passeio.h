#pragma once
// A seeded random walk of the real record screens: it opens the list screens, sends the keys of
// the conventions (F2 to F12, Alt+arrows, Esc) and Tab to the focused widget, types valid and
// invalid values (dates, numbers, long and hostile text, characters outside Windows-1252) into
// the focused controls, clicks the screens' own buttons, drives the filter, sort and person
// search windows, and answers every question with a random button.
//
// After every step it checks, on a connection of its own:
//  - each row the active list shows exists in its table, and the list holds it once;
//  - a record that left its edit or insert state was written as its controls showed it, or the
//    user was asked (a question answered "Não" or "Cancelar", a delete confirmed) or pressed F6;
//  - no error report that no rule explained (a user's slip is never a system failure);
//  - no modal window left open (a hang) and no exception out of the event path.
//
// The same seed gives the same walk; a failure prints the seed and the steps that led to it.
#include "platform/Dialogs.h"
#include "support/ExibeJanela.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <functional>
#include <map>
#include <random>

class Database;
class QWidget;
class TfrmCadastroPadrao;
class TfrmMenuPrincipal;

class Passeio {
public:
    struct Ambiente {
        TfrmMenuPrincipal* principal = nullptr;
        ScriptedDialogs* dialogos = nullptr;
        // The connection of the checks; nullptr while it cannot be used (server down).
        std::function<Database*()> conferencia;
        // Runs before each step (a second workstation writing, the server killed...); returns a
        // line for the step log, empty for nothing.
        std::function<QString(int passo, std::mt19937_64& rng)> antesDoPasso;
        // Keys of rows that someone else than the walk inserted, per table (upper case).
        std::function<QSet<qint64>(const QString& tabela)> chavesDeOutros;
        // Whether another workstation may change the rows: then only the columns the user changed
        // are compared after a save (a modify writes only those).
        bool outraEstacao = false;
        // Date fields the program itself sets to today when it saves (a situation's date when the
        // situation changed): today in the database is no difference.
        QSet<QString> datasDoPrograma;
        // How many report previews were shown so far; with it the walk also clicks the print
        // buttons (the test's preview seam takes the reports).
        std::function<int()> previas;
        // Boxes whose text never reaches the database (a report's title, a file name): they may
        // hold any character.
        QSet<QString> caixasLivres;
        // The screens the walk opens (registered object names).
        QStringList telas;
    };

    Passeio(Ambiente ambiente, quint64 semente);
    ~Passeio();

    // Runs up to `passos` steps, stopping early after `segundos` (0: no time limit) or at the
    // first broken rule.
    void executa(int passos, int segundos);

    const QStringList& falhas() const { return m_falhas; }
    // The seed, the failures and the last steps, for the test's failure message.
    QString relatorio() const;
    int passosDados() const { return m_passo; }
    int salvamentosConferidos() const { return m_salvos; }
    // How many steps of each kind ran (abre, tecla, digita, ...), for the log.
    QString resumo() const;

    // Reads the environment: CTV_PASSEIO_SEMENTE, CTV_PASSEIO_PASSOS, CTV_PASSEIO_SEGUNDOS.
    static quint64 sementeDoAmbiente(quint64 padrao);
    static int inteiroDoAmbiente(const char* nome, int padrao);
    // A text as the step log shows it: one line, cut after 40 characters.
    static QString resumido(const QString& t);

private:
    struct Controle {
        QString campo;
        QString texto;
        bool data = false;
    };
    struct Pendente {
        QPointer<TfrmCadastroPadrao> tela;
        QString nomeTela, tabela, chave;
        bool insercao = false;
        QVariant valorChave;
        qint64 maiorChave = 0;
        std::vector<Controle> controles;
        QSet<QString> alterados; // fields whose value differs from the one read
    };

    void passo();
    void abreTela();
    void tecla();
    void focaControle();
    void digita();
    void clicaBotao();
    void grade();
    QString valorAleatorio();
    void digitaTexto(QWidget* alvo, const QString& texto);
    void confereAlfabeto(QWidget* alvo);

    // Drives the modal windows that a step opens.
    void agendaDialogos();
    void conduzDialogo();
    void conduzPesquisa(QWidget* janela);
    void conduzOrdena(QWidget* janela);
    void conduzPesquisaPessoa(QWidget* janela);

    std::vector<Pendente> pendentes();
    void confere(const std::vector<Pendente>& antes, int mensagensAntes);
    void confereLista(TfrmCadastroPadrao* tela, Database& db);
    void confereGravacao(const Pendente& p, Database& db, int mensagensAntes);
    bool descarteAutorizado(int mensagensAntes) const;
    void falha(const QString& texto);

    TfrmCadastroPadrao* cadastroAtivo() const;
    QWidget* janelaAtiva() const;
    template <class T> T escolhe(const std::vector<T>& v) {
        return v[std::uniform_int_distribution<size_t>(0, v.size() - 1)(m_rng)];
    }
    int ate(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    bool chance(int porCento) { return ate(100) < porCento; }

    Ambiente m_amb;
    quint64 m_semente;
    std::mt19937_64 m_rng;
    int m_passo = 0;
    int m_salvos = 0;
    bool m_emPasso = false;
    // The context of the walk's timers: a timer still pending when the walk ends is dropped
    // with it instead of firing on a walk that is gone.
    QObject m_vida;
    int m_dialogosNoPasso = 0;
    int m_f6 = 0; // steps whose key was F6 (cancel) on the active screen
    QStringList m_registro;
    QStringList m_falhas;
    std::map<QString, int> m_contagem;
    int m_naoExplicados = 0;
    QStringList m_relatos;
    ScopedExibeJanela m_apresentador;
    QElapsedTimer m_relogio;
};
