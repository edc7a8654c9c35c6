#pragma once
// The program's screens. Adding a screen is one class plus one registration: its object name
// (the name a second opening looks for), the menu and item it is reached from, and a factory.
// The main window builds its menus and its control panel from this list; tests and the
// screenshot tool open screens through it.
#include <QString>
#include <functional>
#include <vector>

class ScreenWindow;

struct TelaRegistrada {
    QString nome;    // object name of the screen, compared without regard to case ("frmTipoAnalise")
    QString menu;    // "Arquivo", "Tabelas", "Cadastros", "Relatórios", "Utilitários" or "Ajuda"
    QString item;    // object name of the menu item ("TipodeAnlise1")
    QString caption; // text of the menu item ("Tipo de Análise")
    int ordem = 0;   // position in its menu, smallest first
    std::function<ScreenWindow*()> cria;
    bool painel = true; // also offered as a button on the main window's control panel
};

// Adds or replaces (same name) a screen.
void registraTela(TelaRegistrada tela);
// Every registered screen, in the order of registration.
const std::vector<TelaRegistrada>& telasRegistradas();
// The registration of a screen name (case ignored), nullptr when none.
const TelaRegistrada* telaRegistrada(const QString& nome);
