#include "collab/TelasColab.h"
#include "collab/UnAgendaTarefas.h"
#include "collab/UnCorreioInterno.h"
#include "screens/MensagensBanco.h"
#include "screens/ScreenRegistry.h"

void registraTelasColab() {
    // The menu "Utilitários" is present but hidden; its screens are not offered on the panel.
    registraTela({"frmCorreioInterno", "Utilitários", "miCorreioInterno", "Correio Interno", 10,
                  [] { return new TfrmCorreioInterno; }, false});
    registraTela({"frmAgendaTarefas", "Utilitários", "AgendadeTarefas1", "Agenda de Tarefas", 20,
                  [] { return new TfrmAgendaTarefas; }, false});
    registraNomeTabela("SIS_COMUNICACAO", "Correio Interno");
    registraNomeTabela("TAB_TAREFA", "Agenda de Tarefas");
}
